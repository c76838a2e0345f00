#!/usr/bin/env bash
# Validates the shipped descriptions (Lumbra's, the examples' with their
# released ones, and the one tools/new-object writes) and the test
# descriptions against res/description.schema.json with ajv
# (tools/validate-descriptions.js, one node process), installed into
# build/node on first use. Files under
# tests/descriptions/invalid/ must be refused by the schema; every other one
# must be accepted. Comments are stripped first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
node_dir="$root/build/node"
if [ ! -f "$node_dir/node_modules/ajv/dist/2020.js" ] || [ ! -d "$node_dir/node_modules/ajv-formats" ]; then
  mkdir -p "$node_dir"
  if ! npm install --no-audit --no-fund --prefix "$node_dir" ajv@8 ajv-formats >"$node_dir/install.log" 2>&1; then
    echo "validate-descriptions: npm could not install the schema checker (ajv); npm's own words:" >&2
    grep -iE 'err|warn' "$node_dir/install.log" | head -20 >&2
    exit 1
  fi
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$root/tools/new-object" Sample SMPL "$work/new-object" >/dev/null
checks=("valid:$root/res/Lumbra.json" "valid:$work/new-object/Sample.json")
for file in "$root"/examples/*/*.json "$root"/examples/*/released/*.json \
            "$root"/tests/descriptions/*.json "$root"/tests/descriptions/compat/*.json; do
  checks+=("valid:$file")
done
for file in "$root"/tests/descriptions/invalid/*.json; do
  [ -e "$file" ] && checks+=("invalid:$file")
done
cd "$root" && node tools/validate-descriptions.js "$node_dir/node_modules" \
  res/description.schema.json "${checks[@]/$root\//}"
