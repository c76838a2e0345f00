#!/usr/bin/env node
// strip-json-comments.js IN OUT: writes IN without its // and /* */ comments,
// which the SDK's reader accepts and JSON Schema validators do not. Line
// feeds inside comments are kept, so line numbers stay those of IN. Also a
// module: require(...).strip(text).
'use strict';
const fs = require('fs');

function strip(text) {
  let out = '';
  let inString = false;
  for (let i = 0; i < text.length; ++i) {
    const c = text[i];
    if (inString) {
      out += c;
      if (c === '\\' && i + 1 < text.length) out += text[++i];
      else if (c === '"') inString = false;
    } else if (c === '"') {
      inString = true;
      out += c;
    } else if (c === '/' && text[i + 1] === '/') {
      while (i < text.length && text[i] !== '\n') ++i;
      if (i < text.length) out += '\n';
    } else if (c === '/' && text[i + 1] === '*') {
      const end = text.indexOf('*/', i + 2);
      const comment = text.slice(i, end < 0 ? text.length : end + 2);
      out += comment.replace(/[^\n]/g, '');
      i += comment.length - 1;
    } else {
      out += c;
    }
  }
  return out;
}

module.exports = { strip };
if (require.main === module) {
  const [input, output] = process.argv.slice(2);
  if (!input || !output) {
    console.error('usage: strip-json-comments.js IN OUT');
    process.exit(2);
  }
  fs.writeFileSync(output, strip(fs.readFileSync(input, 'utf8').replace(/^\uFEFF/, '')));
}
