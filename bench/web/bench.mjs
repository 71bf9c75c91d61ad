// Figures of the browser page (nothing passes or fails on them): how long the
// page takes to be ready (cold, and from the service worker's cache), what it transfers (raw and gzip -9), how much the
// browser stretches short timers in a visible and a hidden tab, and a Read
// and a Write through the fake port and bridge against orvex-sim at wire
// speed as ratios to the wire's floor, with the tab visible and hidden (a
// second tab in front), beside orvex-cli's Read of the same radio.  Chromium runs with its background throttling on, as
// for a person.  The Read and Write need the page's #read and #write.
//   tools/web.sh --build-only && node bench/web/bench.mjs [SITE_DIR] [--loads N]
//   ORVEX_BIN (orvex-sim; default build/bin)
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';
import { startBridge } from '../../web/test/bridge.mjs';
import { Answer, Says, chooseGrantedPort, launch, openPage, serveSite, within } from '../../web/test/harness.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '../..');
const args = process.argv.slice(2);
const loadsAt = args.indexOf('--loads');
const loads = loadsAt >= 0 ? Number(args.splice(loadsAt, 2)[1]) : 5;
const siteDir = path.resolve(args[0] ?? path.join(root, 'build-web/site'));
const bin = path.resolve(process.env.ORVEX_BIN ?? path.join(root, 'build/bin'));
// The wire's floor at 9600 baud 8N1: every byte of every frame both ways.
const kFloor = { read: 5.6, write: 6.26 };

const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Records in the page when it became ready and when each message box
// opened, on the page's own clock (a hidden tab's polling would blur both).
function recordTimes() {
  window.orvexTimes = { ready: null, messages: [] };
  new MutationObserver(() => {
    if (window.orvexTimes.ready === null && document.body?.dataset.ready === 'true') window.orvexTimes.ready = performance.now();
    const box = document.getElementById('dialog');
    const last = window.orvexTimes.messages.at(-1);
    if (box?.open && (!last || last.closed)) {
      window.orvexTimes.messages.push({ at: performance.now(), text: document.getElementById('dialog-text').textContent, closed: false });
    } else if (box && !box.open && last && !last.closed) {
      last.closed = true;
    }
  }).observe(document, { subtree: true, childList: true, attributes: true, characterData: true });
}

async function readyTimes(browser, siteUrl) {
  const times = [];
  for (let i = 0; i < loads; ++i) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.evaluateOnNewDocument(recordTimes);
    await page.goto(siteUrl);
    await within(20000, 'the page to be ready', page.waitForFunction(() => window.orvexTimes.ready !== null));
    times.push(await page.evaluate(() => window.orvexTimes.ready));
    await context.close();
  }
  return times;
}

// The same once the service worker keeps the site: one visit, then loads
// served from its cache (the page's fetches answered by the worker).
async function readyTimesFromCache(browser, siteUrl) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.evaluateOnNewDocument(recordTimes);
  await page.goto(siteUrl);
  await within(20000, 'the service worker to control the page',
    page.waitForFunction(() => navigator.serviceWorker.controller?.state === 'activated'));
  const times = [];
  for (let i = 0; i < loads; ++i) {
    await page.reload();
    await within(20000, 'the page to be ready', page.waitForFunction(() => window.orvexTimes.ready !== null));
    times.push(await page.evaluate(() => window.orvexTimes.ready));
  }
  await context.close();
  return times;
}

// What one load fetches, by the files served.
async function transferSizes(browser, siteUrl) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  const files = new Set();
  page.on('response', (response) => {
    const name = new URL(response.url()).pathname.replace(/^\/$/, '/index.html');
    if (response.ok()) files.add(path.join(siteDir, decodeURIComponent(name)));
  });
  await page.goto(siteUrl, { waitUntil: 'networkidle0' });
  await context.close();
  return [...files].filter((file) => fs.existsSync(file)).map((file) => {
    const bytes = fs.readFileSync(file);
    return { name: path.basename(file), raw: bytes.length, gzip: zlib.gzipSync(bytes, { level: 9 }).length };
  });
}

// `depth` 1 ms setTimeout waits, each set in the one before: what the
// browser's clamping makes of them in this tab.
const nestedTimeouts = (page, depth) => page.evaluate((levels) => new Promise((resolve) => {
  const start = performance.now();
  let left = levels;
  const wait = () => (--left < 0 ? resolve(performance.now() - start) : setTimeout(wait, 1));
  wait();
}), depth);

// Hides `page` behind a second tab of its browser; returns a function that
// brings it back.
async function hide(page) {
  const cover = await page.browserContext().newPage();
  await cover.bringToFront();
  await within(5000, 'the tab to be hidden', page.waitForFunction(() => document.visibilityState === 'hidden', { polling: 100 }))
    .catch(() => {});
  return async () => {
    await cover.close();
    await page.bringToFront();
  };
}

// Clicks `button` and returns the seconds until the message with `done`,
// answering the check before a Write with Yes (its wait is not counted).
async function transfer(page, button, done) {
  const start = await page.evaluate((id) => {
    window.orvexTimes.messages = [];
    const at = performance.now();
    document.getElementById(id).click();
    return at;
  }, button);
  let asked = 0;
  for (const deadline = Date.now() + 60000; Date.now() < deadline; await new Promise((resolve) => setTimeout(resolve, 100))) {
    const messages = await page.evaluate(() => window.orvexTimes.messages);
    const end = messages.find((box) => box.text.includes(done));
    if (end) {
      await page.$eval(`#dialog button[data-answer="${Answer.ok}"]`, (b) => b.click());
      return (end.at - start - asked) / 1000;
    }
    const open = messages.at(-1);
    if (open && !open.closed) {
      if (!open.text.includes(Says.writeAnyway)) throw new Error(`${button}: the page says "${open.text}"`);
      asked += await page.$eval(`#dialog button[data-answer="${Answer.yes}"]`, (yes, shownAt) => {
        yes.click();
        return performance.now() - shownAt;
      }, open.at);
    }
  }
  throw new Error(`${button}: no "${done}" within 60 s`);
}

// The same Read by orvex-cli straight on orvex-sim's pseudo-terminal: what
// this machine, loaded as it is now, makes of the wire without a browser.
async function nativeRead() {
  const sim = spawn(path.join(bin, 'orvex-sim'), [], { stdio: ['ignore', 'pipe', 'inherit'] });
  try {
    const device = await within(5000, 'orvex-sim\'s device', new Promise((resolve) => {
      sim.stdout.once('data', (chunk) => resolve(String(chunk).split('\n')[0].trim()));
    }));
    const out = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-bench-')), 'read.tw');
    const start = performance.now();
    execFileSync(path.join(bin, 'orvex-cli'), ['read', '--port', device, '-o', out, '--no-backup'], { stdio: 'pipe' });
    return (performance.now() - start) / 1000;
  } finally {
    sim.kill();
  }
}

async function transfers(browser, site, bridge, hidden) {
  const page = await openPage(browser, site.url, { bridge: bridge.url, granted: [[]], next: [] });
  await page.evaluate(recordTimes);
  if (!(await page.$('#read'))) {
    await page.browserContext().close();
    return null;
  }
  await chooseGrantedPort(page);
  await page.$eval('#verify', (box) => { if (box.checked) box.click(); });
  // The radio is plugged in before the clock starts: starting orvex-sim
  // behind the bridge is the test's cost, not the page's.
  await page.evaluate(async () => {
    const [port] = await navigator.serial.getPorts();
    await port.open({ baudRate: 9600 });
    await port.close();
  });
  const show = hidden ? await hide(page) : null;
  const visibility = await page.evaluate(() => document.visibilityState);
  const read = await transfer(page, 'read', Says.readDone);
  const write = await transfer(page, 'write', Says.writeDone);
  await show?.();
  await page.browserContext().close();
  return { visibility, read, write };
}

// Seconds for the "Program Several Radios" window to write (and verify)
// `count` radios at once, each behind the bridge at wire speed.
async function fleetWrite(browser, site, bridge, count) {
  const page = await openPage(browser, site.url, { bridge: bridge.url, granted: Array.from({ length: count }, () => []) });
  if (!(await page.$('#win-fleet'))) {
    await page.browserContext().close();
    return null;
  }
  await page.evaluate(async () => {
    for (const port of await navigator.serial.getPorts()) {
      await port.open({ baudRate: 9600 });
      await port.close();
    }
  });
  await page.click('#win-fleet');
  await within(5000, 'the granted ports listed', page.waitForFunction(
    (n) => document.querySelectorAll('#fleet-ports input:checked').length === n, {}, count));
  const start = await page.evaluate(() => {
    document.getElementById('fleet-start').click();
    return performance.now();
  });
  const end = await within(60000, `${count} radios written`, page.waitForFunction(
    (n) => document.querySelectorAll('#fleet-rows td[data-succeeded="true"]').length >= n && performance.now(),
    { polling: 20, timeout: 61000 }, count));
  const seconds = ((await end.jsonValue()) - start) / 1000;
  await page.browserContext().close();
  return seconds;
}

const site = await serveSite(siteDir);
const bridge = await startBridge({ sim: path.join(bin, 'orvex-sim'), site: site.server });
const browser = await launch({ asForAUser: true });
try {
  const ready = await readyTimes(browser, site.url);
  console.log(`page ready: median ${median(ready).toFixed(0)} ms over ${loads} loads (min ${Math.min(...ready).toFixed(0)}, max ${Math.max(...ready).toFixed(0)})`);
  const cached = await readyTimesFromCache(browser, site.url);
  console.log(`page ready from the service worker's cache: median ${median(cached).toFixed(0)} ms over ${loads} loads (min ${Math.min(...cached).toFixed(0)}, max ${Math.max(...cached).toFixed(0)})`);

  const sizes = await transferSizes(browser, site.url);
  for (const file of sizes) console.log(`  ${file.name.padEnd(16)} ${kb(file.raw).padStart(9)} raw ${kb(file.gzip).padStart(9)} gzip -9`);
  const total = (key) => sizes.reduce((sum, file) => sum + file[key], 0);
  const wasm = sizes.filter((file) => file.name.endsWith('.wasm'));
  console.log(`transfer: wasm ${kb(wasm.reduce((s, f) => s + f.raw, 0))} raw, ${kb(wasm.reduce((s, f) => s + f.gzip, 0))} gzip; ` +
              `total ${kb(total('raw'))} raw, ${kb(total('gzip'))} gzip in ${sizes.length} files`);

  const page = await openPage(browser, site.url);
  const visible = await nestedTimeouts(page, 10);
  const show = await hide(page);
  const hiddenState = await page.evaluate(() => document.visibilityState);
  const hidden = await nestedTimeouts(page, 3);
  await show();
  await page.browserContext().close();
  console.log(`1 ms setTimeout waits nested 10 deep: ${visible.toFixed(1)} ms in a visible tab; ` +
              `3 deep: ${hidden.toFixed(1)} ms in a ${hiddenState} tab`);

  const native = await nativeRead();
  console.log(`orvex-cli Read without a browser: ${native.toFixed(2)} s = ${(native / kFloor.read).toFixed(3)} x the floor`);

  for (const tab of ['visible', 'hidden']) {
    const figures = await transfers(browser, site, bridge, tab === 'hidden');
    if (!figures) {
      console.log('Read and Write: skipped, the page has no #read button yet');
      break;
    }
    const ratio = (seconds, floor) => `${seconds.toFixed(2)} s = ${(seconds / floor).toFixed(3)} x the floor (${floor} s)`;
    console.log(`tab ${tab} (${figures.visibility}): Read ${ratio(figures.read, kFloor.read)}; Write ${ratio(figures.write, kFloor.write)}`);
  }

  const one = await fleetWrite(browser, site, bridge, 1);
  if (one === null) console.log('several radios: skipped, the page has no #win-fleet button yet');
  else {
    const three = await fleetWrite(browser, site, bridge, 3);
    console.log(`several radios, Write with verify: one ${one.toFixed(2)} s, three at once ${three.toFixed(2)} s = ` +
                `${(three / one).toFixed(3)} x one (goal at most 1.1)`);
  }
} finally {
  await browser.close();
  await bridge.close();
  await site.close();
}
