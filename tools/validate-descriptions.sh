#!/usr/bin/env bash
# Validates the shipped descriptions (Lumbra's, the examples' and the one
# tools/new-object writes) and the test descriptions against
# res/description.schema.json with ajv-cli, installed into build/node on
# first use. Files under tests/descriptions/invalid/ must be refused by the
# schema; every other one must be accepted. Comments are stripped first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
node_dir="$root/build/node"
ajv="$node_dir/node_modules/.bin/ajv"
if [ ! -x "$ajv" ]; then
  mkdir -p "$node_dir"
  if ! npm install --no-audit --no-fund --prefix "$node_dir" ajv-cli ajv-formats >"$node_dir/install.log" 2>&1; then
    echo "validate-descriptions: npm could not install the schema checker (ajv-cli); npm's own words:" >&2
    grep -iE 'err|warn' "$node_dir/install.log" | head -20 >&2
    exit 1
  fi
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

status=0
validate() {  # FILE EXPECTATION(valid|invalid)
  local file="$1" expected="$2" stripped
  stripped="$work/$(basename "$file")"
  node "$root/tools/strip-json-comments.js" "$file" "$stripped"
  if "$ajv" validate --spec=draft2020 --strict=false -c ajv-formats \
       -s "$root/res/description.schema.json" -d "$stripped" >"$work/out" 2>&1; then
    result=valid
  else
    result=invalid
  fi
  if [ "$result" = "$expected" ]; then
    echo "ok: ${file#$root/} ($result)"
  else
    echo "FAILED: ${file#$root/} is $result, expected $expected"
    cat "$work/out"
    status=1
  fi
}

validate "$root/res/Lumbra.json" valid
for file in "$root"/examples/*/*.json; do validate "$file" valid; done
"$root/tools/new-object" Sample SMPL "$work/new-object" >/dev/null
validate "$work/new-object/Sample.json" valid
for file in "$root"/tests/descriptions/*.json; do validate "$file" valid; done
for file in "$root"/tests/descriptions/invalid/*.json; do
  [ -e "$file" ] && validate "$file" invalid
done
exit $status
