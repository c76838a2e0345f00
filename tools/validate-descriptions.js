#!/usr/bin/env node
// validate-descriptions.js NODE_MODULES SCHEMA valid|invalid:FILE ...: checks
// each FILE, comments stripped, against SCHEMA (JSON Schema 2020-12, with
// ajv and ajv-formats from NODE_MODULES), in one process. Prints a line a
// file; exits 1 when any file is not what it is expected to be.
'use strict';
const fs = require('fs');
const path = require('path');
const { strip } = require('./strip-json-comments.js');

const [modules, schemaFile, ...checks] = process.argv.slice(2);
const Ajv2020 = require(path.resolve(modules, 'ajv/dist/2020')).default;
const addFormats = require(path.resolve(modules, 'ajv-formats'));
const ajv = new Ajv2020({ strict: false, allErrors: true });
addFormats(ajv);
const validate = ajv.compile(JSON.parse(fs.readFileSync(schemaFile, 'utf8')));

let status = 0;
for (const check of checks) {
  const [expected, file] = [check.slice(0, check.indexOf(':')), check.slice(check.indexOf(':') + 1)];
  let result, why;
  try {
    const text = strip(fs.readFileSync(file, 'utf8').replace(/^\uFEFF/, ''));
    result = validate(JSON.parse(text)) ? 'valid' : 'invalid';
    why = ajv.errorsText(validate.errors, { separator: '\n  ' });
  } catch (error) {
    result = 'invalid';
    why = error.message;
  }
  if (result === expected) {
    console.log(`ok: ${file} (${result})`);
  } else {
    console.log(`FAILED: ${file} is ${result}, expected ${expected}\n  ${why}`);
    status = 1;
  }
}
process.exit(status);
