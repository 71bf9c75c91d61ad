// The Key Assignment and Scrambler Frequency windows of the page in headless
// Chromium, on a blank codeplug opened by the file input: the side key
// chosen by the keys (three choices one undo step), the scrambler frequency
// typed (a letter and a fifth digit dropped) above the range, clamped with
// its note on Enter, Escape and Ctrl+Z putting the entry's text back; Save
// by download gives orvex-cli's bytes for the same values, and undoing both
// steps gives the original bytes back.
//   node web/test/key_scrambler.mjs SITE_URL ORVEX_CLI
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { downloaded, launch, openByInput, openPage } from './harness.mjs';

const [url, cli] = process.argv.slice(2);
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-key-scrambler-'));
const run = (...args) => execFileSync(cli, args).toString();
// The file opened sits apart from the downloads, which take its name.
fs.mkdirSync(path.join(tmp, 'opened'));
const original = path.join(tmp, 'opened', 'blank.tw');
run('new', original);

const browser = await launch();
try {
  const page = await openPage(browser, url, { pickers: false, downloads: tmp });
  await openByInput(page, original);

  const type = async (...keys) => {
    for (const key of keys) await page.keyboard.press(key);
  };
  const focused = () => page.evaluate(() => document.activeElement.id);
  const undoName = () => page.$eval('#undo', (button) => button.textContent);
  const open = async (kind) => {
    await page.click(`#win-${kind}`);
    await page.waitForSelector(`#${kind}-window:not([hidden])`);
  };
  const save = async (name) => {
    await page.click('#save');
    const file = path.join(tmp, name);
    fs.renameSync(await downloaded(tmp, 'blank.tw'), file);
    return file;
  };

  // Key Assignment: the picture named, the list labelled by its group, two
  // choices by the keys folded into one step; Enter keeps the list.
  await open('key');
  assert.equal(await page.$eval('#win-key', (b) => b.textContent), 'Key Assignment');
  assert.match(await page.$eval('#key-radio', (image) => image.alt), /PTT, PF1 and MONI/);
  assert.equal(await page.$$eval('#key-window .key-mark', (marks) => marks.length), 3);
  assert.equal(await focused(), 'key-side');
  const first = await page.$eval('#key-side', (list) => list.selectedIndex);
  assert.notEqual(first, 2);
  await type('Home', 'ArrowDown', 'ArrowDown', 'Enter');
  const side = await page.$eval('#key-side', (list) => list.selectedOptions[0].textContent);
  assert.equal(await page.$eval('#key-side', (list) => list.selectedIndex), 2);
  assert.equal(await focused(), 'key-side');
  assert.equal(await undoName(), 'Undo PF1(Side Key )');

  // Scrambler Frequency: groups 1..7 fixed; group 8 takes four digits.
  await open('scrambler');
  assert.equal(await focused(), 'scr-freq7');
  assert.deepEqual(await page.$$eval('#scrambler-window input:disabled', (fields) => fields.map((f) => f.value)),
    ['3000', '3100', '3200', '3300', '3400', '3500', '3600']);
  assert.equal(await page.$eval('#scr-freq7', (field) => field.getAttribute('aria-label')), 'Group 8, Frequency');
  await type('6', 'x', '0', '0', '0', '1');
  assert.equal(await page.$eval('#scr-freq7', (field) => field.value), '6000');
  await type('Enter');
  assert.equal(await page.$eval('#scr-freq7', (field) => field.value), '5000');
  assert.equal(await page.$eval('#status', (status) => status.textContent), 'Scrambler: "6000" is outside 3000..5000 Hz; stored 5000');
  assert.equal(await undoName(), 'Undo Scrambler Frequency');
  await type('3', '3', 'Escape');
  assert.equal(await page.$eval('#scr-freq7', (field) => field.value), '5000');
  // Text inserted whole (as a paste is) is filtered as typing would; Ctrl+Z
  // undoes the typing of this visit first.
  const undoKey = async () => {
    await page.keyboard.down('Control');
    await page.keyboard.press('z');
    await page.keyboard.up('Control');
  };
  await page.keyboard.sendCharacter('4x-5 .0a09');
  assert.equal(await page.$eval('#scr-freq7', (field) => field.value), '4500');
  await undoKey();
  assert.equal(await page.$eval('#scr-freq7', (field) => field.value), '5000');
  assert.equal(await undoName(), 'Undo Scrambler Frequency');
  const edited = await save('edited.tw');

  // orvex-cli makes the same file from the same values.
  const edit = JSON.parse(run('export', original, '--format', 'json'));
  edit.side_key.function = side;
  edit.scrambler.frequency = '5000';
  delete edit.memory;
  const editJson = path.join(tmp, 'edit.json');
  const expected = path.join(tmp, 'expected.tw');
  fs.writeFileSync(editJson, JSON.stringify(edit));
  run('import', original, '--json', editJson, '-o', expected);
  if (!fs.readFileSync(edited).equals(fs.readFileSync(expected))) assert.fail(`the page saved other bytes than orvex-cli:\n${(() => { try { return run('diff', edited, expected); } catch (e) { return e.stdout.toString(); } })()}`);

  // Two undos, the first by Ctrl+Z in the untouched field, which keeps the
  // focus: the original bytes, and the windows show them again.
  await page.focus('#scr-freq7');
  await undoKey();
  assert.equal(await page.$eval('#scr-freq7', (field) => field.value), '3700');
  assert.equal(await focused(), 'scr-freq7');
  await page.click('#undo');
  assert.equal(await page.$eval('#key-side', (list) => list.selectedIndex), first);
  assert.ok(fs.readFileSync(await save('undone.tw')).equals(fs.readFileSync(original)), 'undo gives the original bytes');

  // The captions follow the language.
  await page.select('#language', '1');
  assert.deepEqual([await page.$eval('#win-key', (b) => b.textContent), await page.$eval('#win-scrambler', (b) => b.textContent)],
    ['按键定义', '扰频频率']);
  assert.equal(await page.$eval('#scr-freq7', (field) => field.getAttribute('aria-label')), '组别 8, 频率');
  assert.deepEqual(page.errors, []);
  console.log('key_scrambler: side key and scrambler edits by keys save orvex-cli\'s bytes; undo restores them');
} finally {
  await browser.close();
  fs.rmSync(tmp, { recursive: true, force: true });
}
