// The engine module in node against the native CLI: a blank codeplug and
// every test file saved unchanged give the CLI's bytes, channel CSV and JSON
// both ways give the CLI's texts and bytes, a row step undoes to the same
// bytes, a backup repeats only itself, and a broken file is refused with the
// desktop program's words.  Not part of CI.
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
  execFileSync(cli, [...args, out], { stdio: 'ignore' });
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

// CSV and JSON both ways: the page's export is the CLI's text, and its
// import onto a blank codeplug saves the CLI's bytes.
const blank = path.join(tmp, 'blank.tw');
execFileSync(cli, ['new', blank]);
const cliText = (args) => execFileSync(cli, args).toString();
for (const name of fs.readdirSync(data).filter((file) => file.endsWith('.tw'))) {
  const file = path.join(data, name);
  session.open(name, fs.readFileSync(file));
  for (const format of ['csv', 'json']) {
    const exported = format === 'csv' ? engine.exportCsv(session) : engine.exportJson(session);
    assert.equal(exported, cliText(['export', file, '--format', format]), `${name} ${format} export`);
    const input = path.join(tmp, `${name}.${format}`);
    fs.writeFileSync(input, exported);
    const page = new engine.Session();
    if (format === 'csv') {
      assert.deepEqual(engine.planCsv(page, exported, false), { renumber: '', refusal: '', bad: '', offer: '' });
      assert.match(engine.importCsv(page, exported, false), /^Channels imported: \d+, replaced: 0, skipped: 0/);
    } else {
      assert.equal(engine.importJson(page, `${name}.json`, exported), '');
    }
    if (name !== 'blank.tw') assert.notEqual(page.undoName(), '', `${name} ${format} import is one undo step`);
    assert.deepEqual(Buffer.from(page.save('x.tw')), cliFile(['import', blank, `--${format}`, input, '-o'], `${name}.${format}.tw`),
                     `${name} ${format} import`);
    page.delete();
  }
}

// Imports the CLI refuses are refused with the desktop program's words and
// change nothing; a file placing rows past channel 128 is offered renumbering.
const header = 'Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Power\n';
const refusals = [
  ['csv', 'no,header\n', 'refusal', /^The CSV file has errors; nothing was changed\.\n\n/],
  ['csv', `${header}1,A,999.000000,,0,,88.5,88.5,023,NN,FM,5,,5.0W\n`, 'refusal', /^The CSV file has errors.*\n\nline 2: /s],
  ['csv', `${header}1,A,999.000000,,0,,88.5,88.5,023,NN,FM,5,,5.0W\n2,B,145.500000,,0,,88.5,88.5,023,NN,FM,5,,5.0W\n`, 'bad',
    /^The CSV file has errors.*\n\nline 2: /s],
  ['csv', `${header}0,A,145.500000,,0,,88.5,88.5,023,NN,FM,5,,5.0W\n`, 'renumber', /^1 of the 1 rows have a Location outside/],
  ['json', '{"channels": 3}', 'json', /^The JSON codeplug cannot be used; nothing was changed:\n\n/],
];
for (const [format, body, kind, expected] of refusals) {
  const page = new engine.Session();
  const answer = format === 'json' ? engine.importJson(page, 'x.json', body) : engine.planCsv(page, body, false)[kind];
  assert.match(answer, expected, body);
  if (kind === 'bad') assert.equal(engine.planCsv(page, body, false).offer, 'Import the 1 usable rows');
  assert.equal(page.modified(), false, body);
  const input = path.join(tmp, `refused.${format}`);
  fs.writeFileSync(input, body);
  if (kind !== 'renumber') assert.throws(() => execFileSync(cli, ['import', blank, `--${format}`, input, '-o', path.join(tmp, 'r.tw')], { stdio: 'ignore' }));
  page.delete();
}

// A row step is one undo step back to the same bytes; a refusal says why.
session.open('varied.tw', fs.readFileSync(path.join(data, 'varied.tw')));
assert.equal(engine.rowCommand(session, 'insert', [3]).message, 'The last channel is programmed; nothing was inserted.');
engine.rowCommand(session, 'clear', [128]);
const before = Buffer.from(session.save('varied.tw'));
const third = session.cell(3, 1);
for (const command of ['insert', 'delete', 'clear', 'down', 'sortRx', 'sortName']) {
  assert.equal(engine.rowCommand(session, command, [3]).done, true, command);
  session.undo();
  assert.deepEqual(Buffer.from(session.save('varied.tw')), before, `${command} undone`);
}
assert.equal(engine.rowCommand(session, 'insert', [3]).done, true);
assert.equal(session.cell(4, 1), third, 'inserted above channel 3');
session.undo();
assert.equal(engine.rowCommand(session, 'up', [1]).message, 'The first channel cannot move up.');
engine.copyRows(session, [2]);
assert.equal(engine.pastePlan(session, 3, '').question, session.cell(3, 1) === '' ? '' : 'Replace channel 3? It is programmed.');
assert.equal(engine.paste(session, 3, '', false).done, true);
assert.equal(session.cell(3, 1), session.cell(2, 1), 'pasted byte for byte');
session.undo();
// On a cell: Del clears what can be cleared and names what cannot; a paste
// types the value in.
const nameColumn = [...Array(session.columnCount()).keys()].find((c) => session.cell(0, c) === 'Name');
const rx = session.cell(2, 1);
assert.equal(engine.cellCommand(session, 'clear', 2, 1, '').message, 'Only Tx, tone and name cells can be cleared; select channel numbers to clear whole channels.');
assert.equal(engine.cellCommand(session, 'clear', 2, nameColumn, '').done, true);
assert.equal(session.cell(2, nameColumn).trim(), '');
assert.equal(session.cell(2, 1), rx, 'the channel stays');
engine.cellCommand(session, 'paste', 2, nameColumn, 'abc');
assert.equal(session.cell(2, nameColumn).trim(), 'ABC');
assert.equal(session.undoName(), 'paste onto channel 2');
session.undo();
session.undo();
assert.deepEqual(Buffer.from(session.save('varied.tw')), before, 'cell steps undone');

// Backups: a repeat of the newest from the same port is not kept again.
const read = new engine.Session();
const backup = engine.backupOf(new Uint8Array(8192).fill(0xff), Date.UTC(2026, 11, 8, 14, 25, 1, 37));
assert.match(backup.name, /^\d{8}-\d{6}-037-[0-9a-f]{8}\.tw$/);
assert.equal(engine.repeatsNewest(backup.name, backup.file, 'COM3', false, new Uint8Array(8192).fill(0xff), 'COM3', false), true);
assert.equal(engine.repeatsNewest(backup.name, backup.file, 'COM3', false, new Uint8Array(8192).fill(0xff), 'COM4', false), false);
assert.equal(engine.repeatsNewest(backup.name, backup.file, 'COM3', false, new Uint8Array(8192).fill(0xfe), 'COM3', false), false);
assert.equal(engine.backupRow(read, backup.name, backup.file, false).channels, '0');
assert.equal(engine.compareWith(read, backup.name, read.save('v.tw')).text, 'The two codeplugs are the same.');
read.delete();

for (const [language, refusal] of [[0, 'Incorrect File Type.'], [1, '文件类型不正确。']]) {
  session.setLanguage(language);
  assert.equal(session.open('broken.tw', new Uint8Array([1, 2, 3])), refusal);
}
console.log('the engine module gives the CLI\'s bytes');
