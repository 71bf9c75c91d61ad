// The page's files, backups and row commands in headless Chromium, as a
// person uses them (keys, clicks, the file chooser), with the File System
// Access API removed and then faked: Reads kept and repeated ones not,
// a backup opened by Enter and compared, a CSV import's report, JSON and
// CSV export and Save As giving orvex-cli's texts and bytes, the row
// commands by their keys and the context menu, and the saved file read back
// by orvex-cli.  Not part of CI.
//   node web/test/files_rows.mjs SITE_URL ORVEX_CLI
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import puppeteer from 'puppeteer-core';

const [url, cli] = process.argv.slice(2);
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-files-'));
const varied = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../tests/data/varied.tw');
const cliText = (...args) => execFileSync(cli, args).toString();
execFileSync(cli, ['unpack', varied, path.join(tmp, 'varied.plain')]);
const image = [...fs.readFileSync(path.join(tmp, 'varied.plain')).subarray(16)];
const csv = path.join(tmp, 'five.csv');
fs.writeFileSync(csv, cliText('export', varied, '--format', 'csv').split('\r\n').slice(0, 6).join('\r\n') + '\r\n');

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking'],
});
const errors = [];
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1400, height: 800 });
  page.on('pageerror', (error) => errors.push(error.message));
  // Where the browser has no save dialog a file goes as a download; where it
  // has one, the page writes into the handle it gives.
  await page.evaluateOnNewDocument(() => {
    delete window.showOpenFilePicker;
    window.written = {};
    window.writes = 0;
    window.showSaveFilePicker = async ({ suggestedName }) => {
      const name = suggestedName.replace(/(\.\w+)$/, '-2$1');
      const write = async (bytes) => { window.written[name] = [...bytes]; window.writes += 1; };
      return { name, createWritable: async () => ({ write, close: async () => {} }) };
    };
  });
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]');
  const text = (selector) => page.$eval(selector, (e) => e.textContent);
  const answer = async (button) => {
    await page.waitForSelector(`#dialog[open] button[data-answer="${button}"]`);
    const said = await text('#dialog-text');
    await page.click(`#dialog button[data-answer="${button}"]`);
    return said;
  };
  const keys = async (...pressed) => {
    const held = pressed.slice(0, -1);
    for (const key of held) await page.keyboard.down(key);
    await page.keyboard.press(pressed.at(-1));
    for (const key of held.reverse()) await page.keyboard.up(key);
    await new Promise((resolve) => setTimeout(resolve, 100));
  };
  const cell = (row, column) => `#grid tr:nth-child(${row + 1}) td:nth-child(${column + 1})`;
  const rx = (row) => text(cell(row, 1));

  // Three Reads, the second a repeat of the first: two backups.
  for (const port of ['Virtual radio', 'Virtual radio', 'COM3']) {
    await page.evaluate((bytes, port) => window.dispatchEvent(new CustomEvent('orvex-read', { detail: { image: new Uint8Array(bytes), port } })), image, port);
    await new Promise((resolve) => setTimeout(resolve, 300));
  }
  await page.click('#backups');
  await page.waitForSelector('#backups-panel:not([hidden]) tbody tr');
  const listed = await page.$$eval('#backups-panel tbody tr', (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent)));
  assert.deepEqual(listed.map((row) => row.slice(2)), [['128', 'No', 'TZ417', 'COM3', 'Read'], ['128', 'No', 'TZ417', 'Virtual radio', 'Read']]);
  await keys('ArrowDown');
  await keys('Enter');
  await page.waitForFunction(() => /\d{8}-\d{6}-\d{3}-[0-9a-f]{8}\.tw$/.test(document.title));
  await page.click('#backups');
  await page.waitForSelector('#backups-panel:not([hidden]) tbody tr');
  await page.click('#backups-compare');
  await page.waitForSelector('#compare-window:not([hidden])');
  assert.match(await text('#compare-title'), /^Compare with /);
  assert.equal(await text('#compare-note'), 'The two codeplugs are the same.');
  await keys('Escape');
  await keys('Escape');
  assert.equal(await page.$eval('#backups-panel', (e) => e.hidden), true);

  // A CSV import: the report, one undo step.
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#import-csv')]);
  await chooser.accept([csv]);
  assert.match(await answer(1156), /^Channels imported: 5, replaced: 5, skipped: 0, adjusted: 0/);
  assert.equal(await text('#undo'), 'Undo channel CSV import');

  // Save As into the chosen file names the codeplug after it; the exports
  // are orvex-cli's texts.
  await keys('Control', 'Shift', 'S');
  await page.waitForFunction(() => document.title.endsWith('-2.tw'));
  await page.click('#export-csv');
  await page.click('#export-json');
  await page.waitForFunction(() => window.writes === 3);
  const written = await page.evaluate(() => window.written);
  const savedAs = path.join(tmp, 'saved-as.tw');
  fs.writeFileSync(savedAs, Buffer.from(Object.entries(written).find(([name]) => name.endsWith('.tw'))[1]));
  for (const format of ['csv', 'json']) {
    const exported = Buffer.from(Object.entries(written).find(([name]) => name.endsWith(`.${format}`))[1]).toString();
    assert.equal(exported, cliText('export', savedAs, '--format', format), format);
  }

  // Rows: channel 128 chosen on its number and cleared by Del, a blank
  // channel inserted at 3 by Ins, channels 3-4 chosen by Shift+Space and
  // Shift+Down and moved down by Alt+Down.
  const third = await rx(3);
  await page.click('#grid tr:nth-child(129) th');
  await keys('Delete');
  assert.equal(await rx(128), '');
  await page.click(cell(3, 1));
  await keys('Insert');
  assert.deepEqual([await rx(3), await rx(4)], ['', third]);
  await keys('Shift', ' ');
  await keys('Shift', 'ArrowDown');
  await keys('Alt', 'ArrowDown');
  assert.deepEqual([await rx(4), await rx(5)], ['', third]);
  assert.equal(await text('#undo'), 'Undo move channels 3-4 down');
  // On a cell, Del clears only what it can and says so otherwise.
  await page.click(cell(6, 1));
  await keys('Delete');
  assert.match(await text('#status'), /^Only Tx, tone and name cells can be cleared/);
  // Channel 2 copied by Ctrl+C on its number, pasted onto programmed
  // channel 5 after the question: Insert would push channel 128 off the end
  // and is refused, Replace pastes.
  await page.click('#grid tr:nth-child(3) th');
  await keys('Control', 'c');
  await page.click('#grid tr:nth-child(6) th');
  await keys('Control', 'v');
  assert.equal(await answer(1821), 'Replace channel 5? It is programmed.');
  assert.equal(await answer(1156), 'The last channel is programmed; nothing was inserted.');
  await keys('Control', 'v');
  await answer(1820);
  await new Promise((resolve) => setTimeout(resolve, 100));
  assert.deepEqual([await rx(5), await text('#undo')], [await rx(2), 'Undo paste onto channel 5']);
  // The context menu by Shift+F10: its last entry sorts every channel by name.
  await page.click(cell(1, 2));
  await keys('Shift', 'F10');
  await page.waitForSelector('#row-menu:not([hidden])');
  await keys('ArrowUp');
  await keys('Enter');
  assert.equal(await text('#undo'), 'Undo sort channels 1-128 by name');
  await keys('Control', 'z');

  // Saved, the native program reads every channel as the page shows them.
  await keys('Control', 's');
  await page.waitForFunction(() => window.writes === 4);
  const saved = path.join(tmp, 'saved.tw');
  fs.writeFileSync(saved, Buffer.from(await page.evaluate(() => Object.entries(window.written).find(([name]) => name.endsWith('-2.tw'))[1])));
  const shown = await page.$$eval('#grid tr', (rows) => rows.slice(1).map((r) => r.cells[1].textContent).filter((t) => t !== ''));
  const read = JSON.parse(cliText('export', saved, '--format', 'json')).channels.map((c) => c.rx);
  assert.deepEqual(read, shown);
  assert.deepEqual(errors, []);
  console.log('files, backups and rows work in the page');
} finally {
  await browser.close();
}
