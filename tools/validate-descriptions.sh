#!/usr/bin/env bash
# `make test-descriptions`: the descriptions against
# res/description.schema.json, with ajv and the VS Code JSON language service
# installed into build/node on first use; comments are stripped first.
#   shipped    Lumbra's, the examples' with their released ones, the compat
#              tests' descriptions and the one tools/new-object writes must be
#              accepted (tools/validate-descriptions.js)
#   editor     in the new object's folder, with the .vscode/settings.json
#              tools/new-object wrote: type names complete, new entries have
#              snippets, every key shows help (tools/test-schema-in-editor.js)
#   agreement  each test description through the schema and through
#              `plenar-host check`, as tests/descriptions/fixtures.jsonc says
#              (tools/test-description-agreement.js); needs plenar-host and
#              Unlinked.pvx built in $PLENAR_BUILD (make test-descriptions
#              builds them and starts Wine's server)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
node_dir="$root/build/node"
modules="$node_dir/node_modules"
if [ ! -f "$modules/ajv/dist/2020.js" ] || [ ! -d "$modules/ajv-formats" ] ||
   [ ! -d "$modules/vscode-json-languageservice" ]; then
  mkdir -p "$node_dir"
  if ! npm install --no-audit --no-fund --prefix "$node_dir" ajv@8 ajv-formats \
       vscode-json-languageservice@5 >"$node_dir/install.log" 2>&1; then
    echo "validate-descriptions: npm could not install the schema checkers (ajv, vscode-json-languageservice); npm's own words:" >&2
    grep -iE 'err|warn' "$node_dir/install.log" | head -20 >&2
    exit 1
  fi
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0

"$root/tools/new-object" Sample SMPL "$work/new-object" >/dev/null
checks=("valid:$root/res/Lumbra.json" "valid:$work/new-object/Sample.json")
for file in "$root"/examples/*/*.json "$root"/examples/*/released/*.json \
            "$root"/tests/descriptions/compat/*.json; do
  checks+=("valid:$file")
done
(cd "$root" && node tools/validate-descriptions.js "$modules" res/description.schema.json \
  "${checks[@]/$root\//}") || status=1

(cd "$root" && node tools/test-schema-in-editor.js "$modules" "$work/new-object/.vscode/settings.json" \
  tests/descriptions/every-key.json) || status=1

host="$root/host/cli/plenar-host"
if [ -n "${PLENAR_BUILD:-}" ] && [ -f "$PLENAR_BUILD/plenar-host.exe" ] && [ -f "$PLENAR_BUILD/Unlinked.pvx" ]; then
  (cd "$root" && node tools/test-description-agreement.js "$modules" res/description.schema.json \
    tests/descriptions/fixtures.jsonc "$host") || status=1
else
  echo "FAILED: the agreement of schema and check needs plenar-host.exe and Unlinked.pvx in PLENAR_BUILD" \
       "(\"${PLENAR_BUILD:-}\"): run make test-descriptions" >&2
  status=1
fi
exit $status
