// The channel print and the memory map in headless Chromium, by keys:
// Ctrl+P fills the print with the title and the channel rows of
// tests/data/varied.tw (the PDF Chromium prints holds them, page numbers at
// the foot, and nothing of the toolbar or grid); Ctrl+Shift+Alt+M shows the
// bytes `orvex-cli dump` shows; bytes edited by keys are saved as orvex-cli
// reads them back.
//   node web/test/print_map.mjs SITE_URL ORVEX_CLI
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { launch, openPage } from './harness.mjs';

const [url, cli] = process.argv.slice(2);
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-print-'));
const varied = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../tests/data/varied.tw');
const dumpLines = (file) => execFileSync(cli, ['dump', file]).toString().trim().split('\n');
const csvRows = execFileSync(cli, ['export', varied, '--format', 'csv']).toString().trim().split('\r\n').slice(1);

const browser = await launch();
try {
  const page = await openPage(browser, url, { serial: false, pickers: false });
  await page.evaluate(() => {
    window.printed = 0;
    window.print = () => { window.printed += 1; };
    window.saved = null;
    window.showSaveFilePicker = async ({ suggestedName }) => ({
      name: suggestedName,
      createWritable: async () => ({ write: async (bytes) => { window.saved = [...bytes]; }, close: async () => {} }),
    });
  });
  const keys = async (...pressed) => {
    for (const key of pressed.slice(0, -1)) await page.keyboard.down(key);
    await page.keyboard.press(pressed.at(-1));
    for (const key of pressed.slice(0, -1).reverse()) await page.keyboard.up(key);
  };
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#open')]);
  await chooser.accept([varied]);
  await page.waitForFunction(() => document.title.includes('varied'));

  // Print: the rows are the programmed channels, channel and Rx frequency
  // as the CSV export has them.
  await keys('Control', 'p');
  assert.equal(await page.evaluate(() => window.printed), 1);
  const printed = await page.$$eval('#print-table tbody tr', (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent)));
  assert.equal(printed.length, csvRows.length);
  csvRows.forEach((line, i) => {
    const [location, , frequency] = line.split(',');
    assert.equal(printed[i][0], location);
    assert.equal(Number(printed[i][1]), Number(frequency), `channel ${location}`);
  });
  await page.emulateMediaType('print');
  const pdf = path.join(tmp, 'channels.pdf');
  await page.pdf({ path: pdf, preferCSSPageSize: true });
  const text = execFileSync('pdftotext', ['-layout', pdf, '-']).toString();
  const pages = text.split('\f').filter((p) => p.trim());
  assert.ok(pages.length >= 2, 'the rows go over more than one page');
  pages.forEach((p, i) => {
    assert.match(p, new RegExp(`Page ${i + 1} of ${pages.length}`));
    assert.match(p, /ORVEX\s+File: varied\.tw\s+Date: \d{4}-\d\d-\d\d \d\d:\d\d/, 'the title on every page');
    assert.match(p, /Channel Information[^]*Rx Freq/, 'the caption and headings on every page');
  });
  assert.doesNotMatch(text, /Open|Backups|Undo/, 'no toolbar in the print');
  await page.emulateMediaType('screen');

  // The memory map shows the image as orvex-cli dumps it.
  await keys('Control', 'Shift', 'Alt', 'M');
  await page.waitForSelector('#memory-map[open]');
  const shown = await page.$$eval('#memory-grid tbody tr', (rows) =>
    rows.map((r) => `${r.cells[0].textContent}0: ${[...r.cells].slice(1).map((c) => c.textContent).join(' ')}`));
  assert.deepEqual(shown, dumpLines(varied));
  assert.equal(await page.$eval('#memory-grid tbody tr:nth-child(3) td', (c) => c.getAttribute('aria-label')),
    `Address 0020, ${dumpLines(varied)[2].split(' ')[1]}`);

  // Bytes edited by keys: 0812 by the address box, the next one after
  // Enter, a typed byte cancelled by Escape, Undo and Redo in the map.
  await page.click('#memory-address', { clickCount: 3 });
  await page.keyboard.type('812');
  await keys('Enter');
  await page.keyboard.type('ab');
  await keys('Enter');
  await page.keyboard.type('3');
  await keys('Enter');
  await page.keyboard.type('77');
  await keys('Escape');
  await keys('ArrowRight');
  await page.keyboard.type('5');
  await keys('Enter');
  await keys('Control', 'z');
  await keys('Control', 'y');
  await keys('Control', 'z');
  assert.equal(await page.$eval('#memory-address', (e) => e.value), '0816');
  await page.click('#memory-ok');
  assert.equal(await page.$eval('#memory-map', (e) => e.open), false);
  assert.match(await page.title(), /\*$/);
  await keys('Control', 'Shift', 'S');
  await page.waitForFunction(() => window.saved !== null);
  const saved = path.join(tmp, 'saved.tw');
  fs.writeFileSync(saved, Buffer.from(await page.evaluate(() => window.saved)));
  const wanted = dumpLines(varied);
  wanted[0x81] = wanted[0x81].replace(/^(0810: (?:\S\S ){2})\S\S \S\S/, '$1AB 03');
  assert.deepEqual(dumpLines(saved), wanted);

  // One undo step of the codeplug takes the whole map back.
  await keys('Control', 'z');
  await keys('Control', 'Shift', 'Alt', 'M');
  await page.waitForSelector('#memory-map[open]');
  assert.equal(await page.$eval('#memory-grid tbody tr:nth-child(130) td:nth-of-type(3)', (c) => c.textContent),
    dumpLines(varied)[0x81].split(' ')[3]);
  await keys('Escape');
  assert.equal(await page.$eval('#memory-map', (e) => e.open), false);
  assert.deepEqual(page.errors, []);
  console.log('print_map: 2 passed, 0 failed');
} finally {
  await browser.close();
  fs.rmSync(tmp, { recursive: true, force: true });
}
