#!/usr/bin/env node
// test-schema-in-editor.js NODE_MODULES SETTINGS DESCRIPTION: what an editor
// makes of the schema, asked of the JSON language service that VS Code runs
// (vscode-json-languageservice), set up by SETTINGS, the .vscode/settings.json
// tools/new-object wrote. In a description of that object type, type names
// must complete from the SDK's canonical spellings, new entries must have
// snippets and a misspelt key must be flagged. DESCRIPTION, found by its own
// "$schema", holds every key the schema knows, and each must show help on
// hover. Prints a line a check; exits 1 when any fails.
'use strict';
const fs = require('fs');
const path = require('path');
const { pathToFileURL, fileURLToPath } = require('url');
const { strip } = require('./strip-json-comments.js');

const [modules, settingsFile, descriptionFile] = process.argv.slice(2);
const json = require(path.resolve(modules, 'vscode-json-languageservice'));
const { TextDocument } = require(path.resolve(modules, 'vscode-languageserver-textdocument'));
const settings = JSON.parse(strip(fs.readFileSync(settingsFile, 'utf8')));
const [association] = settings['json.schemas'];
const schema = JSON.parse(fs.readFileSync(fileURLToPath(association.url), 'utf8'));
const objectFolder = path.dirname(path.dirname(path.resolve(settingsFile)));
const objectDescription = association.fileMatch[0];

const service = json.getLanguageService({
  schemaRequestService: (uri) => Promise.resolve(fs.readFileSync(fileURLToPath(uri), 'utf8')),
  workspaceContext: { resolveRelativePath: (relative, resource) => new URL(relative, resource).href },
});
service.configure({
  validate: true,
  allowComments: settings['files.associations'][objectDescription] === 'jsonc',
  schemas: [{ uri: association.url, fileMatch: association.fileMatch }],
});

let failures = 0;
function check(holds, what, why = '') {
  console.log(`${holds ? 'ok' : 'FAILED'}: ${what}${holds || !why ? '' : `\n  ${why}`}`);
  if (!holds) failures++;
}

function documentOf(text, file = path.join(objectFolder, objectDescription)) {
  const uri = pathToFileURL(path.resolve(file)).href;
  const document = TextDocument.create(uri, 'jsonc', 1, text);
  return { document, parsed: service.parseJSONDocument(document) };
}

// Completion labels at the place of the one `|` in `text`.
async function completionsAt(text) {
  const { document, parsed } = documentOf(text.replace('|', ''));
  const list = await service.doComplete(document, document.positionAt(text.indexOf('|')), parsed);
  return (list ? list.items : []).map((item) => item.label.replace(/^"(.*)"$/, '$1'));
}

function hoverText(hover) {
  if (!hover) return '';
  const contents = Array.isArray(hover.contents) ? hover.contents : [hover.contents];
  return contents.map((part) => (typeof part === 'string' ? part : part.value)).join('\n').trim();
}

// Every key the schema names, at any level.
function schemaKeys(node, keys = new Set()) {
  if (Array.isArray(node)) node.forEach((element) => schemaKeys(element, keys));
  else if (node && typeof node === 'object')
    for (const [name, value] of Object.entries(node)) {
      if (name === 'properties') Object.keys(value).forEach((key) => keys.add(key));
      schemaKeys(value, keys);
    }
  return keys;
}

// Every key of the document with the offset of its name.
function documentKeys(node, found = []) {
  if (!node) return found;
  if (node.type === 'object')
    for (const property of node.properties) {
      found.push({ key: property.keyNode.value, offset: property.keyNode.offset + 1 });
      documentKeys(property.valueNode, found);
    }
  if (node.type === 'array') node.items.forEach((item) => documentKeys(item, found));
  return found;
}

// A description of the new object type, commented as its own is.
const wrap = (language) => `// a description\n{"Identifier": "TEST", "L": ${language}}`;
const typeNamePlaces = [
  ['parameterType', wrap('{"Actions": [{"Parameters": [["|", "p"]]}]}')],
  ['parameterType', wrap('{"Conditions": [{"Parameters": [["|", "p"]]}]}')],
  ['expressionParameterType', wrap('{"Expressions": [{"Returns": "Text", "Parameters": [["|", "p"]]}]}')],
  ['returnType', wrap('{"Expressions": [{"Returns": "|"}]}')],
  ['propertyType', wrap('{"Properties": [{"Type": "|"}]}')],
];
const snippetPlaces = [
  ['new action', wrap('{"Actions": [|]}')],
  ['new condition', wrap('{"Conditions": [|]}')],
  ['new expression', wrap('{"Expressions": [|]}')],
  ['new property', wrap('{"Properties": [|]}')],
  ['new menu item', wrap('{"ActionMenu": [|]}')],
  ['new menu item', wrap('{"ExpressionMenu": [["Options", |]]}')],
];

(async () => {
  check(settings['files.associations'][objectDescription] === 'jsonc',
        `${settingsFile} opens ${objectDescription} as JSON with comments`);
  for (const [definition, text] of typeNamePlaces) {
    const offered = await completionsAt(text);
    const canonical = schema.$defs[definition].anyOf[0].enum;
    const missing = canonical.filter((name) => !offered.includes(name));
    check(missing.length === 0 && canonical.length > 0, `${definition} completes at ${JSON.stringify(text)}`,
          `not offered: ${missing.join(', ')}; offered: ${offered.join(', ')}`);
  }
  for (const [label, text] of snippetPlaces) {
    const offered = await completionsAt(text);
    check(offered.includes(label), `snippet "${label}" at ${JSON.stringify(text)}`, `offered: ${offered.join(', ')}`);
  }

  const { document, parsed } = documentOf(fs.readFileSync(descriptionFile, 'utf8'), descriptionFile);
  const keys = documentKeys(parsed.root);
  const missing = [...schemaKeys(schema)].filter((key) => !keys.some((found) => found.key === key));
  check(missing.length === 0, `${descriptionFile} holds every key of the schema`, `missing: ${missing.join(', ')}`);
  const without = [];
  for (const { key, offset } of keys) {
    if (!hoverText(await service.doHover(document, document.positionAt(offset), parsed))) without.push(key);
  }
  check(without.length === 0, `hover help for each of the ${keys.length} keys of ${descriptionFile}`,
        `no help: ${[...new Set(without)].join(', ')}`);
  const diagnostics = await service.doValidation(document, parsed);
  check(diagnostics.length === 0, `${descriptionFile} is valid in the editor`,
        diagnostics.map((d) => `${d.range.start.line + 1}:${d.range.start.character + 1}: ${d.message}`).join('\n  '));

  const misspelt = documentOf(wrap('{"Actions": [{"Title": "t", "Paramters": []}]}'));
  const flagged = await service.doValidation(misspelt.document, misspelt.parsed);
  check(flagged.some((d) => /Paramters/.test(d.message)), 'a misspelt key is flagged in the editor',
        flagged.map((d) => d.message).join('; '));
  process.exit(failures ? 1 : 0);
})().catch((error) => {
  console.log(`FAILED: ${error.stack}`);
  process.exit(1);
});
