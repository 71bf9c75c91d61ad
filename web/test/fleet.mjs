// The "Program Several Radios" window in headless Chromium: three radios
// (each an orvex-sim behind the bridge) written at once with per-radio
// values from a CSV, one of them the wrong model and failing alone; each
// good radio holds what `orvex-cli import` makes of the codeplug with its
// row, and the results are offered as CSV.  Then watch mode: a radio
// plugged in while it is on is written with the next row, what it held
// kept first as a backup when asked.
//   node web/test/fleet.mjs SITE_URL [ORVEX_BIN]     (default build/bin)
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { startBridge } from './bridge.mjs';
import { Answer, answer, downloaded, launch, message, openPage, within } from './harness.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const [siteUrl, binArg] = process.argv.slice(2);
if (!siteUrl) throw new Error('usage: node web/test/fleet.mjs SITE_URL [ORVEX_BIN]');
const bin = path.resolve(binArg ?? process.env.ORVEX_BIN ?? path.join(here, '../../build/bin'));
const cli = (...args) => execFileSync(path.join(bin, 'orvex-cli'), args, { encoding: 'utf8' });
const json = (file) => JSON.parse(cli('export', file, '--format', 'json'));
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-fleet-'));
const downloads = path.join(tmp, 'downloads');
fs.mkdirSync(downloads);
const saved = (k) => path.join(tmp, `radio${k}.tw`);
// The radios start out holding a blank codeplug, as the page's is, so the
// rows a Write leaves alone match too.
const base = path.join(tmp, 'base.tw');
cli('new', base);
const kRun = 30000; // ms: a Write and its read-back, three at once

// Radio 3 claims another model; the row naming its port stays unused.
const values = path.join(tmp, 'values.csv');
fs.writeFileSync(values, 'port,options.ani_code,options.reset_password\n1,111,111111\nnext,222,222222\n3,333,333333\nnext,444,444444\n');
// The codeplug each good radio must hold: the page's (a blank one), with
// its row.
function expected(name, ani, password) {
  const row = path.join(tmp, `${name}.json`);
  fs.writeFileSync(row, JSON.stringify({ options: { ani_code: ani, reset_password: password } }));
  const out = path.join(tmp, `${name}-expected.tw`);
  cli('import', base, '--json', row, '-o', out);
  return json(out);
}

const rows = (page) => page.$$eval('#fleet-rows tr', (trs) => trs.map((tr) => [...tr.cells].map((cell) => cell.textContent)));
const finished = (page, count) => within(kRun, `${count} finished rows`, page.waitForFunction(
  (n) => document.querySelectorAll('#fleet-rows td[data-succeeded]').length >= n, { polling: 100, timeout: kRun + 1000 }, count));

const started = Date.now();
const bridge = await startBridge({ sim: path.join(bin, 'orvex-sim') });
const browser = await launch();
try {
  const radio = (k, ...more) => ['--fast', '--image', base, '--save', saved(k), ...more];
  const page = await openPage(browser, siteUrl, {
    bridge: bridge.url, granted: [radio(1), radio(2), radio(3, '--ident', 'XY123')], pickers: false, downloads,
  });
  await page.click('#win-fleet');
  assert.equal(await page.$eval('#fleet-title', (h) => h.textContent), 'Program Several Radios');
  await within(5000, 'three granted ports listed', page.waitForFunction(() => document.querySelectorAll('#fleet-ports input:checked').length === 3));
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#fleet-browse')]);
  await chooser.accept([values]);
  await within(5000, 'the values file named', page.waitForFunction(() => document.getElementById('fleet-values').value === 'values.csv'));
  await page.click('#fleet-start');
  await finished(page, 3);

  const table = await rows(page);
  assert.deepEqual(table.map((row) => row[0]), ['Serial port 1', 'Serial port 2', 'Serial port 3']);
  assert.deepEqual(table.map((row) => [row[1], row[3]]), [
    ['line 2', 'written and verified'], ['line 3', 'written and verified'], ['', 'model wrong']]);
  assert.match(await page.$eval('#fleet-summary', (p) => p.textContent), /2 of 3 radios succeeded/);
  assert.deepEqual(json(saved(1)), expected('row2', '111', '111111'), 'radio 1 holds the codeplug with line 2');
  assert.deepEqual(json(saved(2)), expected('row3', '222', '222222'), 'radio 2 holds the codeplug with line 3');
  assert.equal(fs.existsSync(saved(3)), false, 'the wrong model was written');

  await page.click('#fleet-results');
  const csv = fs.readFileSync(await downloaded(downloads, 'results.csv'), 'utf8').split('\r\n');
  assert.equal(csv[0], 'Port,Values,Outcome,Time');
  // A row per radio as it finished.
  const line = (port) => csv.find((each) => each.startsWith(`${port},`));
  assert.match(line(1), /^1,line 2,written and verified,\d+\.\d s$/);
  assert.match(line(2), /^2,line 3,written and verified,\d+\.\d s$/);
  assert.match(line(3), /^3,,model wrong,\d+\.\d s$/);

  // Watch mode, a new run, backing up first: nothing is written until a
  // radio is plugged in; it gets the first "next" row, line 3, and what it
  // held before is kept.
  for (const box of await page.$$('#fleet-ports input')) await box.click();
  await page.$eval('#backup-first', (box) => box.click());
  await page.click('#fleet-watch');
  await page.click('#fleet-start');
  assert.match(await page.$eval('#fleet-summary', (p) => p.textContent), /Waiting for radios/);
  await page.evaluate((args) => window.orvexFakeSerial.plug(args), radio(4));
  await finished(page, 1);
  assert.deepEqual((await rows(page)).map((row) => [row[0], row[1], row[3]]), [['Serial port 4', 'line 3', 'written and verified']]);
  assert.deepEqual(json(saved(4)), expected('row3', '222', '222222'), 'the radio plugged in holds line 3');
  const kept = await page.evaluate(() => new Promise((resolve) => {
    indexedDB.open('orvex', 1).onsuccess = (event) => {
      const all = event.target.result.transaction('backups').objectStore('backups').getAll();
      all.onsuccess = () => resolve(all.result.map((b) => ({ port: b.port, beforeWrite: b.beforeWrite, file: [...b.file] })));
    };
  }));
  assert.deepEqual(kept.map((b) => [b.port, b.beforeWrite]), [['Serial port 4', true]]);
  fs.writeFileSync(path.join(tmp, 'held.tw'), Buffer.from(kept[0].file));
  cli('diff', base, path.join(tmp, 'held.tw'));
  await page.click('#fleet-stop');
  assert.equal(await page.$eval('#fleet-start', (button) => button.disabled), false, 'Start again after Stop');
  // A values file naming no granted port's position starts nothing.
  const bad = path.join(tmp, 'bad.csv');
  fs.writeFileSync(bad, 'port,options.ani_code\nCOM2,555\n/dev/ttyUSB0,666\n');
  const [again] = await Promise.all([page.waitForFileChooser(), page.click('#fleet-browse')]);
  await again.accept([bad]);
  await page.click('#fleet-start');
  assert.match(await message(page, 'nothing was started', 5000), /line 3: no serial port in slot \/dev\/ttyUSB0/);
  await answer(page, Answer.ok);
  assert.equal(await page.$$eval('#fleet-rows tr', (trs) => trs.length), 1, 'a row added by a refused start');
  assert.deepEqual(page.errors, [], 'errors in the page');
  console.log(`fleet: all passed in ${((Date.now() - started) / 1000).toFixed(1)} s`);
  fs.rmSync(tmp, { recursive: true, force: true });
} finally {
  await browser.close();
  await bridge.close();
}
