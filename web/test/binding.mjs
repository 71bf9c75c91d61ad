// The engine module in node against the native CLI: a blank codeplug and
// every test file saved unchanged give the CLI's bytes, and a broken file
// is refused with the desktop program's words.  Not part of CI.
//   node web/test/binding.mjs ENGINE_DIR ORVEX_CLI
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';

const [engineDir, cli] = process.argv.slice(2);
// em++ 3.1.6's ES module still reaches for CommonJS names under node.
globalThis.__dirname = path.resolve(engineDir);
globalThis.require = createRequire(import.meta.url);
const { default: OrvexEngine } = await import(pathToFileURL(path.resolve(engineDir, 'orvex_web.js')).href);
// em++ 3.1.6's module cannot fetch its .wasm by URL under node.
const engine = await OrvexEngine({ wasmBinary: fs.readFileSync(path.resolve(engineDir, 'orvex_web.wasm')) });
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-binding-'));
const cliFile = (args, name) => {
  const out = path.join(tmp, name);
  execFileSync(cli, [...args, out]);
  return fs.readFileSync(out);
};

const session = new engine.Session();
assert.deepEqual(Buffer.from(session.save('Untitled.tw')), cliFile(['new'], 'blank.tw'), 'blank codeplug');

const data = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../tests/data');
for (const name of fs.readdirSync(data).filter((file) => file.endsWith('.tw'))) {
  const file = path.join(data, name);
  assert.equal(session.open(name, fs.readFileSync(file)), '', name);
  assert.equal(session.modified(), false, name);
  const json = path.join(tmp, `${name}.json`);
  execFileSync(cli, ['export', file, '--format', 'json', '-o', json]);
  const expected = cliFile(['import', file, '--json', json, '-o'], name);
  assert.deepEqual(Buffer.from(session.save(name)), expected, `${name} saved`);
}

for (const [language, refusal] of [[0, 'Incorrect File Type.'], [1, '文件类型不正确。']]) {
  session.setLanguage(language);
  assert.equal(session.open('broken.tw', new Uint8Array([1, 2, 3])), refusal);
}
console.log('the engine module gives the CLI\'s bytes');
