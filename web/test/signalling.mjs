// The 2-Tone, 5-Tone and MSK windows of the page in headless Chromium, on a
// blank codeplug opened by the file input: each window opened from its
// button and edited by keys (typed cells, a refused key dropped, a column
// redirected, the 5-Tone Standard list taken by Enter and emptied by
// Backspace, an MSK cell opened by a click), each commit one undo step
// named as the desktop names it; then Save by download gives the same file
// as orvex-cli importing the same values.  (A window stores its whole table
// at each commit, as the desktop's does, so the start is a file whose
// values are all as the windows show them.)
//   node web/test/signalling.mjs SITE_URL ORVEX_CLI
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { downloaded, launch, openByInput, openPage } from './harness.mjs';

const [url, cli] = process.argv.slice(2);
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-signalling-'));
const run = (...args) => execFileSync(cli, args).toString();
const original = path.join(tmp, 'blank.tw');
run('new', original);

const browser = await launch();
try {
  const page = await openPage(browser, url, { pickers: false, downloads: tmp });
  await openByInput(page, original);

  const type = async (...keys) => {
    for (const key of keys) await page.keyboard.press(key);
  };
  const cell = (grid, row, column) => page.$eval(`#${grid} tr:nth-child(${row + 1}) > :nth-child(${column + 1})`, (c) => c.textContent);
  const focused = () => page.evaluate(() => document.activeElement.getAttribute('aria-label'));
  const undoName = () => page.$eval('#undo', (button) => button.textContent);
  const open = async (kind) => {
    await page.click(`#win-${kind}`);
    await page.waitForSelector(`#sig-${kind}-window:not([hidden])`);
  };

  // 2-Tone: Call List entry 2, Tone A typed (a letter dropped); Tone B of
  // Decode entry 1, which has no Tone A, edits Tone A.
  await open('2tone');
  assert.equal(await page.$eval('#win-2tone', (b) => b.textContent), '2-Tone');
  await type('ArrowDown', 'ArrowDown');
  assert.match(await focused(), /^No\. 2, ATone\[Hz\]$/);
  await type('1', '2', 'x', '3', '4', '.', '5', 'Enter');
  assert.equal(await cell('sig-2tone-grid0', 3, 1), '1234.5');
  assert.match(await undoName(), /2-Tone Call List 2 ATone\[Hz\]/);
  await page.click('#sig-2tone-grid1 tr:nth-child(3) > :nth-child(3)');
  await type('2', '0', '0', '0', 'Enter');
  assert.deepEqual([await cell('sig-2tone-grid1', 2, 1), await cell('sig-2tone-grid1', 2, 2)], ['2000.0', '']);

  // 5-Tone: entry 1's ID typed and padded, bringing a standard; Enter on
  // entry 3's Standard opens its list, Enter takes it (with an ID); entry 5
  // taken the same way and emptied by Backspace.
  await open('5tone');
  await page.focus('#sig-5tone-grid0 tr:nth-child(2) > :nth-child(2)');
  await type('ArrowDown', 'ArrowRight', '7', 'C', 'D', 'Enter');
  assert.deepEqual([await cell('sig-5tone-grid0', 2, 1), await cell('sig-5tone-grid0', 2, 2)], ['CCIR1', '7CDAA']);
  await type('ArrowDown', 'Enter');
  await page.waitForSelector('#sig-5tone-grid0 select');
  await type('Enter');
  assert.deepEqual([await cell('sig-5tone-grid0', 4, 1), await cell('sig-5tone-grid0', 4, 2)], ['CCIR1', '12345']);
  await type('ArrowDown', 'ArrowLeft', 'Enter', 'Enter', 'ArrowLeft', 'Enter', 'Backspace');
  assert.deepEqual([await cell('sig-5tone-grid0', 6, 1), await cell('sig-5tone-grid0', 6, 2)], ['', '']);

  // Its two lists chosen by the arrows, the two choices in one list one step.
  const choose = async (id, ...keys) => {
    await page.focus(id);
    await type(...keys);
    return page.$eval(id, (list) => list.selectedOptions[0].textContent);
  };
  const respond = await choose('#sig-5tone-setting0', 'ArrowDown', 'ArrowDown');
  assert.match(await undoName(), /Respond Waiting Time$/);
  const fix = await choose('#sig-5tone-setting1', 'ArrowDown');
  assert.deepEqual([respond, fix], ['20s', '1']);
  // The reference table follows the standard chosen, and stores nothing.
  const tones = () => page.$$eval('#sig-5tone-window input[readonly]', (fields) => fields.map((field) => field.value));
  const before = await tones();
  assert.equal(before.length, 16);
  assert.equal(await choose('#sig-5tone-standard', 'ArrowDown', 'ArrowDown'), 'CCITT');
  assert.notDeepEqual(await tones(), before);

  // MSK: the Call List's first code typed in lower case, an ID Code cell
  // opened by a click, the invert switch by Space.
  await open('msk');
  await page.focus('#sig-msk-grid0 tr:nth-child(2) > :nth-child(2)');
  await type('b', 'e', 'e', 'f', 'Enter');
  assert.equal(await cell('sig-msk-grid0', 1, 1), 'BEEF');
  await page.click('#sig-msk-grid1 tr:nth-child(4) > :nth-child(2)');
  await type('1', '2', 'Enter');
  assert.equal(await cell('sig-msk-grid1', 3, 1), '12');
  assert.match(await undoName(), /MSK ID Code 2 /);
  await page.focus('#sig-msk-setting0');
  await type('Space');

  await page.click('#save');
  const saved = await downloaded(tmp, 'blank.tw');

  // orvex-cli makes the same file from the same values.
  const edit = JSON.parse(run('export', original, '--format', 'json'));
  Object.assign(edit.two_tone.call_list[2], { tone_a: '1234.5' });
  Object.assign(edit.two_tone.decode[1], { tone_a: '2000.0' });
  Object.assign(edit.five_tone.decode[1], { standard: 'CCIR1', id: '7CDAA' });
  Object.assign(edit.five_tone.decode[3], { standard: 'CCIR1', id: '12345' });
  Object.assign(edit.five_tone, { respond_waiting_time: respond, fix_digit: fix });
  edit.msk.repeater_invert = 'On';
  edit.msk.call_list[0] = 'BEEF';
  edit.msk.id_code[2] = '12';
  delete edit.memory;
  const editJson = path.join(tmp, 'edit.json');
  const expected = path.join(tmp, 'expected.tw');
  fs.writeFileSync(editJson, JSON.stringify(edit));
  run('import', original, '--json', editJson, '-o', expected);
  const sections = (file) => {
    const all = JSON.parse(run('export', file, '--format', 'json'));
    return { two_tone: all.two_tone, five_tone: all.five_tone, msk: all.msk };
  };
  assert.deepEqual(sections(saved), sections(expected));
  if (!fs.readFileSync(saved).equals(fs.readFileSync(expected))) assert.fail(`the page saved other bytes than orvex-cli:\n${(() => { try { return run('diff', saved, expected); } catch (e) { return e.stdout.toString(); } })()}`);
  assert.deepEqual(page.errors, []);
  console.log('signalling: 2-Tone, 5-Tone and MSK edits by keys save orvex-cli\'s bytes');
} finally {
  await browser.close();
  fs.rmSync(tmp, { recursive: true, force: true });
}
