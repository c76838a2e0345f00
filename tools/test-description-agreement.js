#!/usr/bin/env node
// test-description-agreement.js NODE_MODULES SCHEMA FIXTURES PLENAR_HOST: runs
// each fixture description listed in FIXTURES (JSON with comments, paths
// relative to its folder) through SCHEMA (ajv) and through `PLENAR_HOST check --json`,
// and asserts that each refuses what the fixture says it refuses, at the
// places it names, so that the schema and the SDK's checker cannot drift
// apart. Every description file beside FIXTURES must be listed. Prints a line
// a fixture; exits 1 when any disagrees.
'use strict';
const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');
const { strip } = require('./strip-json-comments.js');

const [modules, schemaFile, fixturesFile, plenarHost] = process.argv.slice(2);
const Ajv2020 = require(path.resolve(modules, 'ajv/dist/2020')).default;
const addFormats = require(path.resolve(modules, 'ajv-formats'));
const ajv = new Ajv2020({ strict: false, allErrors: true });
addFormats(ajv);
const validate = ajv.compile(JSON.parse(fs.readFileSync(schemaFile, 'utf8')));
const folder = path.dirname(fixturesFile);
const fixtures = JSON.parse(strip(fs.readFileSync(fixturesFile, 'utf8')));

// A place as check names it: within the language section, Actions[3].Parameters[1];
// outside it, the root member's name. Checked against a fixture's place by
// containment, as the schema names the innermost value and check the entry.
function placeOf(segments, root) {
  const [first, ...rest] = segments;
  if (first === undefined) return '';
  const language = root && typeof root[first] === 'object' && !Array.isArray(root[first]);
  let place = language ? '' : first;
  for (const segment of language ? rest : []) place += /^\d+$/.test(segment) ? `[${segment}]` : `${place ? '.' : ''}${segment}`;
  return place;
}
const within = (place, expected) =>
  place === expected || place.startsWith(`${expected}.`) || place.startsWith(`${expected}[`);

// What the schema refuses: the places of its errors, an unknown key at the key.
function schemaVerdict(text) {
  let value;
  try {
    value = JSON.parse(strip(text.replace(/^\uFEFF/, '')));
  } catch (error) {
    return { refused: true, places: [], why: error.message };
  }
  if (validate(value)) return { refused: false, places: [], why: '' };
  const places = validate.errors.map((error) => {
    const segments = error.instancePath.split('/').slice(1).map((s) => s.replace(/~1/g, '/').replace(/~0/g, '~'));
    if (error.keyword === 'additionalProperties') segments.push(error.params.additionalProperty);
    return placeOf(segments, value);
  });
  return { refused: true, places, why: ajv.errorsText(validate.errors, { separator: '\n    ' }) };
}

// What check refuses: its errors and warnings (from --json), with the places
// it names.
function checkVerdict(file) {
  const run = spawnSync(plenarHost, ['check', file, '--json'], { encoding: 'utf8' });
  const said = `${run.stdout}${run.stderr}`.trim();
  let report;
  try {
    report = JSON.parse(run.stdout.slice(run.stdout.indexOf('{')));
  } catch (error) {
    return { refused: false, places: [], why: `no JSON report: ${said}`, errors: false, status: run.status };
  }
  const findings = report.diagnostics.filter((d) => d.severity === 'error' || d.severity === 'warning');
  return { refused: findings.length > 0, places: findings.map((d) => d.path), why: said,
           errors: report.errors > 0, status: run.status };
}

let failures = 0;
const listed = new Set();
for (const fixture of fixtures) {
  const file = path.join(folder, fixture.file);
  listed.add(path.resolve(file));
  const text = fs.readFileSync(file, 'utf8');
  const refusedBy = new Set(fixture.refused_by);
  const verdicts = { schema: schemaVerdict(text), check: checkVerdict(file) };
  const problems = [];
  for (const [tool, verdict] of Object.entries(verdicts)) {
    const found = [];
    const expected = refusedBy.has(tool);
    if (verdict.refused !== expected)
      found.push(`${tool} ${verdict.refused ? 'refuses' : 'accepts'} it`);
    else if (expected)
      for (const place of fixture.at || [])
        if (!verdict.places.some((named) => within(named, place)))
          found.push(`${tool} names no place at or within "${place}"`);
    if (tool === 'check' && verdict.errors !== (verdict.status !== 0))
      found.push(`check exits with ${verdict.status}, which its errors do not explain`);
    if (found.length) problems.push(...found, `${tool} said:\n    ${verdict.why || '(nothing)'}`);
  }
  const shown = `${fixture.file} (refused by ${[...refusedBy].join(' and ') || 'neither'})`;
  console.log(problems.length ? `FAILED: ${shown}\n  ${problems.join('\n  ')}` : `ok: ${shown}`);
  if (problems.length) failures++;
}
for (const sub of ['', 'invalid']) {
  for (const name of fs.readdirSync(path.join(folder, sub)).filter((n) => n.endsWith('.json'))) {
    if (!listed.has(path.resolve(folder, sub, name))) {
      console.log(`FAILED: ${path.join(sub, name)} is not listed in ${fixturesFile}`);
      failures++;
    }
  }
}
process.exit(failures ? 1 : 0);
