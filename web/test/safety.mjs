// The page's safety net in headless Chromium against bridged orvex-sims:
// a Write with "Back up the radio before writing" on keeps what the radio
// held (the same codeplug as orvex-cli reads it), Compare With... a file
// lists the field edited by keys, Test Cable... gives the doctor's verdicts
// (good, wrong model, echo, no answer, permission refused, port busy), and
// Save Link Log... downloads the frames.
//   node web/test/safety.mjs SITE_URL ORVEX_BIN
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { startBridge } from './bridge.mjs';
import { Answer, Says, downloaded, launch, message, answer, openPage, ready, within } from './harness.mjs';

const [url, bin] = process.argv.slice(2);
const started = Date.now();
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-safety-'));
const varied = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../tests/data/varied.tw');
const bridge = await startBridge({ sim: path.join(bin, 'orvex-sim') });
const browser = await launch();
try {
  // Ports 0..3: a radio holding varied.tw (answering at once, the page keeping
  // the pace), another model, an echoing cable
  // before a radio, a line where nothing answers, a radio storing a row
  // wrong; the chooser is cancelled.
  const granted = [['--image', varied, '--fast'], ['--ident', 'XY123'], ['--echo'], ['--no-radio'], ['--fast', '--store-wrong', '1']];
  const page = await openPage(browser, url, { bridge: bridge.url, granted, pickers: false, downloads: tmp });
  await page.waitForFunction(() => document.querySelectorAll('#port option').length >= 7);
  const text = (selector) => page.$eval(selector, (e) => e.textContent);

  // The switch is remembered across loads.
  assert.equal(await text('#backup-first-label'), 'Back up the radio before writing');
  await page.click('#backup-first');
  await page.reload();
  await ready(page);
  assert.equal(await page.$eval('#backup-first', (e) => e.checked), true);
  await page.waitForFunction(() => document.querySelectorAll('#port option').length >= 7);

  // The cable test on each port: the report's verdicts, then its summary.
  const testCable = async (port, ...expected) => {
    await page.select('#port', port);
    await page.click('#test-cable');
    await within(10000, `the cable test on port ${port}`,
      page.waitForFunction(() => /\n\nsummary: /.test(document.getElementById('cable-test-report').textContent)));
    const report = await text('#cable-test-report');
    for (const wanted of expected) assert.ok(report.includes(wanted), `port ${port}: no "${wanted}" in\n${report}`);
    await page.keyboard.press('Escape');
    return report;
  };
  await testCable('0', '[ ok ] open: Serial port 1', '[ ok ] adapter: USB adapter 067b:2303', 'identified itself as this model (TZ417)', 'the cable and the radio work');
  await testCable('1', 'a radio answered, but as another model ("XY123"', 'no radio of this model answered');
  await testCable('2', '[note] echo: ', 'echoes', 'identified itself as this model');
  await testCable('3', '[FAIL] radio: nothing answered the greeting');
  await page.evaluate(() => { window.orvexFakeSerial.next = null; });
  await testCable('another', '[FAIL] open: permission denied: the browser was given no serial port');
  await page.evaluate(() => navigator.serial.getPorts().then(([port]) => port.open({ baudRate: 9600 })));
  await testCable('0', '[FAIL] open: busy: another program or browser tab holds the port open');
  await page.evaluate(() => navigator.serial.getPorts().then(([port]) => port.close()));

  // The log of the last test, as the desktop's link log.
  await testCable('0', 'the cable and the radio work');
  await page.click('#save-link-log');
  const log = fs.readFileSync(await downloaded(tmp, 'orvex-link-log.txt'), 'utf8');
  assert.match(log, /^# Test Cable on Serial port 1 /);
  assert.match(log, /\d+\.\d{3} tx  48 69 4B 52 54 20 32 30\n/);
  assert.match(log, /\d+\.\d{3} rx  06/);

  // A Write backing up first: the radio's varied.tw is kept, marked so.
  await page.select('#port', '0');
  await page.click('#verify');
  await page.click('#write');
  for (;;) {
    const said = await message(page, '', 40000);
    if (said.includes(Says.writeDone)) break;
    await answer(page, await page.$eval('#dialog-buttons button', (b) => Number(b.dataset.answer)));
  }
  await answer(page, Answer.ok);
  const backups = await page.evaluate(() => new Promise((resolve) => {
    indexedDB.open('orvex', 1).onsuccess = (event) => {
      const all = event.target.result.transaction('backups').objectStore('backups').getAll();
      all.onsuccess = () => resolve(all.result.map((b) => ({ ...b, file: [...b.file] })));
    };
  }));
  const before = backups.filter((b) => b.beforeWrite);
  assert.equal(before.length, 1, 'one backup before the Write');
  fs.writeFileSync(path.join(tmp, 'held.tw'), Buffer.from(before[0].file));
  execFileSync(path.join(bin, 'orvex-cli'), ['diff', varied, path.join(tmp, 'held.tw')]);
  await page.click('#backups');
  await page.waitForSelector('#backups-panel:not([hidden]) tbody tr');
  assert.deepEqual(await page.$$eval('#backups-panel tbody td:last-child', (cells) => cells.map((c) => c.textContent)), ['Before a Write']);
  await page.click('#backups-close');

  // A backup the browser cannot keep writes nothing.
  await page.evaluate(() => { IDBObjectStore.prototype.put = () => { throw new DOMException('full', 'QuotaExceededError'); }; });
  await page.click('#write');
  for (;;) {
    const said = await message(page, '', 40000);
    assert.ok(!said.includes(Says.writeDone), said);
    if (said.includes('The backup could not be kept in this browser')) break;
    await answer(page, await page.$eval('#dialog-buttons button', (b) => Number(b.dataset.answer)));
  }
  await answer(page, Answer.ok);
  await page.waitForSelector('body[data-transfer="idle"]');
  const stages = await page.evaluate(() => document.getElementById('progress-text').textContent);
  assert.ok(!/Writ/.test(stages), `nothing written: ${stages}`);

  // A failed verify lists what the radio holds otherwise, field by field;
  // the link log holds that Write's frames.
  await page.click('#backup-first');
  await page.click('#verify');
  await page.select('#port', '4');
  await page.click('#write');
  for (;;) {
    const said = await message(page, '', 40000);
    if (said.includes(Says.notHeld)) {
      assert.match(said, /\n.+: .+ -> .+\n/, said);
      break;
    }
    await answer(page, await page.$eval('#dialog-buttons button', (b) => Number(b.dataset.answer)));
  }
  await answer(page, Answer.cancel);
  await page.waitForSelector('body[data-transfer="idle"]');
  fs.rmSync(path.join(tmp, 'orvex-link-log.txt'));
  await page.click('#save-link-log');
  const writeLog = fs.readFileSync(await downloaded(tmp, 'orvex-link-log.txt'), 'utf8');
  assert.match(writeLog, /^# Write\n/);
  assert.match(writeLog, /tx  48 69 4B 52 54 20 32 30\n/);

  // Compare With... a file: the edited field, in the desktop's columns.
  const [opening] = await Promise.all([page.waitForFileChooser(), page.click('#open')]);
  await opening.accept([varied]);
  await page.waitForFunction(() => document.title.includes('varied.tw'));
  const rx = await page.$eval('#grid td[data-row="1"][data-column="1"]', (cell) => cell.textContent);
  await page.click('#grid td[data-row="1"][data-column="1"]');
  await page.keyboard.type('145.5');
  await page.keyboard.press('Enter');
  const [comparing] = await Promise.all([page.waitForFileChooser(), page.click('#compare')]);
  await comparing.accept([varied]);
  await page.waitForSelector('#compare-window:not([hidden])');
  assert.equal(await text('#compare-title'), 'Compare with varied.tw');
  const rows = await page.$$eval('#compare-window tr', (trs) => trs.map((tr) => [...tr.cells].map((c) => c.textContent)));
  assert.deepEqual(rows[0], ['What', 'Open codeplug', 'varied.tw']);
  assert.deepEqual(rows.find((row) => row[0] === 'channel 1 Rx Freq'), ['channel 1 Rx Freq', '145.50000', rx]);
  assert.equal(await text('#compare-note'), 'Double-click a channel to open it in the channel window.');
  // Enter on a channel's line goes to that channel in the grid.
  await page.keyboard.press('Enter');
  assert.equal(await page.evaluate(() => document.activeElement.dataset.row), '1');
  assert.deepEqual(page.errors, []);
  console.log(`safety: backup before Write, compare, cable test and link log passed in ${((Date.now() - started) / 1000).toFixed(1)} s`);
} finally {
  await browser.close();
  await bridge.close();
  fs.rmSync(tmp, { recursive: true, force: true });
}
