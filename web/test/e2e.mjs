// The page end to end in headless Chromium: the real clone protocol runs
// between the page and orvex-sim at wire speed (fake_serial.js -> bridge.mjs
// -> a pseudo-terminal), files go in by the file input and out as downloads,
// and orvex-cli judges the bytes.  The Read/Write cases need the page's #read
// button, the Web Serial case its #serial-missing line; a page without them
// skips those cases, saying so.
//   node web/test/e2e.mjs SITE_DIR [CASE...]     ORVEX_BIN (default build/bin)
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { startBridge } from './bridge.mjs';
import { Answer, Says, answer, chooseGrantedPort, downloaded, launch, message, openPage, ready, serveSite, within } from './harness.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const [siteDir, ...only] = process.argv.slice(2);
if (!siteDir) throw new Error('usage: node web/test/e2e.mjs SITE_DIR [CASE...]');
const bin = path.resolve(process.env.ORVEX_BIN ?? path.join(here, '../../build/bin'));
const cliPath = path.join(bin, 'orvex-cli');
const data = path.resolve(here, '../../tests/data');
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-e2e-'));
const cli = (...args) => execFileSync(cliPath, args, { encoding: 'utf8' });
const json = (file) => JSON.parse(cli('export', file, '--format', 'json'));

// A Read and a Write with its read-back at 9600 baud take 5.6 + 6.3 + 5.6 s.
const kTransfer = 30000;

const site = await serveSite(siteDir);
const bridge = await startBridge({ sim: path.join(bin, 'orvex-sim'), site: site.server });
const browser = await launch();

// The grid cell (row, column) as the page shows it.
const cellText = (page, row, column) =>
  page.$eval(`#grid td[data-row="${row}"][data-column="${column}"]`, (cell) => cell.textContent);

// Types `typed` into channel `row`'s Rx (the cell picked by a click, the
// text by keys, Enter commits) and returns what the cell shows.
async function typeRx(page, row, typed) {
  await page.click(`#grid td[data-row="${row}"][data-column="1"]`);
  await page.keyboard.type(typed);
  await page.keyboard.press('Enter');
  return cellText(page, row, 1);
}

async function transferIdle(page) {
  await within(10000, 'body[data-transfer="idle"] after the transfer',
    page.waitForSelector('body[data-transfer="idle"]'));
}

// Every open() of the fake port was at 9600 baud, 8N1.
async function opened8N1(page) {
  const opens = await page.evaluate(() => window.orvexFakeSerial.opens);
  assert.ok(opens.length > 0, 'the page never opened the port');
  for (const options of opens) {
    assert.ok(await page.evaluate((o) => window.orvexFakeSerial.is8N1At9600(o), options), `opened with ${JSON.stringify(options)}`);
  }
}

// A Read from the granted port whose message has `text`, answered with
// `button`.
async function readEndingIn(page, text, ms, button) {
  await chooseGrantedPort(page);
  await page.click('#read');
  await message(page, text, ms);
  await answer(page, button);
  await transferIdle(page);
  await opened8N1(page);
}

// Answers every message of a Write until both `wanted` were shown: the check's
// "Write anyway?" with Yes, the others with OK.
async function writeMessages(page, wanted) {
  const shown = [];
  const deadline = Date.now() + kTransfer;
  while (!wanted.every((text) => shown.some((box) => box.includes(text)))) {
    const text = await message(page, '', Math.max(deadline - Date.now(), 1)).catch((error) => {
      throw new Error(`${error.message}; shown so far: ${JSON.stringify(shown)}, waiting for ${JSON.stringify(wanted)}`);
    });
    shown.push(text);
    assert.ok(!text.includes(Says.notHeld), `the read-back differs: ${text}`);
    await answer(page, text.includes(Says.writeAnyway) ? Answer.yes : Answer.ok);
  }
  return shown;
}

// Each case gets a folder for downloads and what orvex-sim saves; a cable
// case names orvex-sim's options (`radio`, given where the radio saves its
// memory after a Write) and gets a page whose granted port is that radio.
const cases = {
  // The test's own plumbing, without the page's code: a greeting and the
  // identification go through the fake port, the bridge and orvex-sim.
  async 'fake port, bridge and orvex-sim'({ open }) {
    const page = await open({ bridge: bridge.url });
    const result = await within(10000, 'the greeting and identification through the fake port', page.evaluate(async () => {
      const port = await navigator.serial.requestPort();
      const refusals = [];
      await port.open({ baudRate: 19200 }).catch(() => refusals.push('19200'));
      await port.open({ baudRate: 9600 });
      await port.open({ baudRate: 9600 }).catch(() => refusals.push('open twice'));
      const writer = port.writable.getWriter();
      const reader = port.readable.getReader();
      const take = async (count) => {
        const bytes = [];
        while (bytes.length < count) {
          const { value, done } = await reader.read();
          if (done) break;
          bytes.push(...value);
        }
        return bytes;
      };
      await writer.write(new TextEncoder().encode('HiKRT 20'));
      const greeting = await take(1);
      await writer.write(Uint8Array.of(0x02));
      const ident = await take(8);
      await port.close().catch(() => refusals.push('close while locked'));
      reader.releaseLock();
      writer.releaseLock();
      await port.close();
      return { greeting, ident: String.fromCharCode(...ident.slice(1, 6)), ack: ident[0], refusals, granted: (await navigator.serial.getPorts()).length };
    }));
    assert.equal(result.greeting[0] & 0x0f, 0x06, `greeting answered ${result.greeting}`);
    assert.deepEqual([result.ack, result.ident], [0x06, 'TZ417']);
    assert.deepEqual(result.refusals, ['19200', 'open twice', 'close while locked']);
    assert.equal(result.granted, 1);
  },

  async 'open by file input, edit by keys, save by download'({ open, downloads }) {
    const page = await open({ pickers: false, downloads });
    const original = path.join(data, 'varied.tw');
    const [chooser] = await within(5000, 'the file chooser of #open', Promise.all([page.waitForFileChooser(), page.click('#open')]));
    await chooser.accept([original]);
    await within(5000, 'the title to name varied.tw', page.waitForFunction(() => document.title.includes('varied')));
    assert.equal(await typeRx(page, 2, '145.5'), '145.50000');
    await page.click('#save');
    const saved = await downloaded(downloads, 'varied.tw');
    // orvex-cli makes the same file from the same edit.
    const edit = json(original);
    edit.channels.find((channel) => channel.number === 2).rx = '145.50000';
    const editJson = path.join(downloads, 'edit.json');
    const expected = path.join(downloads, 'expected.tw');
    fs.writeFileSync(editJson, JSON.stringify(edit));
    cli('import', original, '--json', editJson, '-o', expected);
    assert.equal(cli('dump', saved), cli('dump', expected), 'the page saved other bytes than orvex-cli');
  },

  async 'language switch, remembered after reload'({ open }) {
    const page = await open();
    const english = await page.$eval('#open', (button) => button.textContent);
    await page.select('#language', '1');
    const chinese = /[\u4e00-\u9fff]/;
    const shows = () => page.evaluate(() => ({
      lang: document.documentElement.lang,
      open: document.getElementById('open').textContent,
      header: document.querySelector('#grid th[data-column="1"]').textContent,
      language: document.getElementById('language').value,
    }));
    const switched = await shows();
    assert.equal(switched.lang, 'zh');
    assert.match(switched.open, chinese, `#open shows "${switched.open}"`);
    assert.notEqual(switched.open, english);
    assert.match(switched.header, chinese, `the Rx column is headed "${switched.header}"`);
    await page.reload();
    await ready(page);
    assert.deepEqual(await shows(), switched, 'the language after a reload');
  },

  async 'without Web Serial: one line says so'({ open }) {
    const shown = (page) => page.$eval('#serial-missing', (line) => line.checkVisibility() && line.textContent.trim() !== '');
    const without = await open({ serial: false });
    if (!(await without.$('#serial-missing'))) return 'the page has no #serial-missing yet';
    assert.equal(await without.evaluate(() => 'serial' in navigator), false);
    assert.equal(await shown(without), true, 'no #serial-missing line without Web Serial');
    assert.equal(await shown(await open()), false, '#serial-missing shown with Web Serial');
  },

  'read, edit by keys, write with verify': {
    radio: (saveTo) => ['--save', saveTo],
    async run({ page, downloads, radio }) {
      await page.evaluate(() => window.addEventListener('orvex-read', (event) => {
        window.orvexReads = [...(window.orvexReads ?? []), { bytes: event.detail.image.length, port: event.detail.port }];
      }));
      assert.equal(await page.$eval('#verify', (box) => box.checked), true, 'verify after writing is on by default');
      await readEndingIn(page, Says.readDone, kTransfer, Answer.ok);
      const reads = await page.evaluate(() => window.orvexReads ?? []);
      assert.equal(reads.length, 1, 'one orvex-read event');
      assert.equal(reads[0].bytes, 8192, 'the orvex-read event carries the 8192-byte image');
      assert.equal(await cellText(page, 1, 1), '145.50000', 'channel 1 as the radio holds it');
      assert.equal(await typeRx(page, 3, '435.5'), '435.50000');

      await page.click('#write');
      await writeMessages(page, [Says.writeDone, Says.verified]);
      await transferIdle(page);
      await opened8N1(page);
      // The radio now holds what the page saves.
      await page.click('#save');
      const saved = await downloaded(downloads);
      assert.deepEqual(json(radio), json(saved), 'the radio holds other values than the page saves');
      assert.equal(json(radio).channels.find((channel) => channel.number === 3).rx, '435.50000');
    },
  },

  // The radio inside the page, no cable: a Write with verify, what it then
  // holds read back, and its wrong-model switch.
  async 'virtual radio: write, read back, wrong model'({ open }) {
    const page = await open({ serial: false });
    await page.select('#port', 'virtual');
    assert.equal(await page.$eval('#virtual-faults', (span) => span.checkVisibility()), true, 'the fault switches for the virtual radio');
    assert.equal(await typeRx(page, 5, '146.52'), '146.52000');
    await page.click('#write');
    await writeMessages(page, [Says.writeDone, Says.verified]);
    await transferIdle(page);
    await typeRx(page, 5, '147');
    await page.click('#read');
    await message(page, Says.readDone, kTransfer);
    await answer(page, Answer.ok);
    await transferIdle(page);
    assert.equal(await cellText(page, 5, 1), '146.52000', 'the virtual radio gave back what was written');
    await page.click('#fault-wrong-model');
    await page.click('#read');
    await message(page, Says.wrongModel, 15000);
    await answer(page, Answer.ok);
    await transferIdle(page);
  },

  'wrong model': {
    radio: () => ['--ident', 'XY123'],
    run: ({ page }) => readEndingIn(page, Says.wrongModel, 15000, Answer.ok),
  },

  'no answer: the retry question, cancelled': {
    radio: () => ['--no-radio'],
    async run({ page }) {
      await readEndingIn(page, Says.retry, 20000, Answer.cancel);
      assert.equal(await page.$eval('#dialog', (box) => box.open), false, 'a message after Cancel');
    },
  },
};

let failed = 0;
const started = Date.now();
try {
  for (const [name, test] of Object.entries(cases)) {
    const { radio: radioArgs, run } = typeof test === 'function' ? { run: test } : test;
    if (only.length > 0 && !only.some((word) => name.includes(word))) continue;
    const began = Date.now();
    const dir = fs.mkdtempSync(path.join(tmp, 'case-'));
    const downloads = path.join(dir, 'downloads');
    fs.mkdirSync(downloads);
    const radio = path.join(dir, 'radio.tw');
    const pages = [];
    const open = async (options) => {
      const page = await openPage(browser, site.url, options);
      pages.push(page);
      return page;
    };
    try {
      let page;
      if (radioArgs) {
        const args = radioArgs(radio);
        page = await open({ bridge: bridge.url, granted: [args], next: args, pickers: false, downloads });
        if (!(await page.$('#read'))) {
          console.log(`skip ${name}: the page has no #read button yet`);
          continue;
        }
      }
      const skipped = await run({ open, page, downloads, radio });
      const errors = pages.flatMap((each) => each.errors);
      assert.deepEqual(errors, [], 'errors in the page');
      if (skipped) console.log(`skip ${name}: ${skipped}`);
      else console.log(`ok   ${name} (${((Date.now() - began) / 1000).toFixed(1)} s)`);
    } catch (error) {
      ++failed;
      console.log(`FAIL ${name} (${((Date.now() - began) / 1000).toFixed(1)} s): ${error.message}`);
      // What the page showed, for whoever reads the log.
      for (const [i, page] of pages.entries()) {
        const shot = path.join(dir, `failed-${i + 1}.png`);
        if (await page.screenshot({ path: shot }).then(() => true, () => false)) console.log(`     the page then: ${shot}`);
      }
    } finally {
      for (const page of pages) await page.browserContext().close();
    }
  }
} finally {
  await browser.close();
  await bridge.close();
  await site.close();
}
console.log(`${failed === 0 ? 'all passed' : `${failed} failed`} in ${((Date.now() - started) / 1000).toFixed(1)} s`);
if (failed === 0) fs.rmSync(tmp, { recursive: true, force: true });
process.exitCode = failed === 0 ? 0 : 1;
