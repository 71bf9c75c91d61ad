// The page offline: after one visit its service worker serves the page, the
// engine module and everything they load, so with the network cut (DevTools
// protocol) the page reloads and reads the virtual radio.  A changed site is
// offered as a line with Reload, never loaded by itself, and Reload asks
// about unsaved edits first.
//   node web/test/offline.mjs SITE_DIR
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { buildWorker } from '../worker_build.mjs';
import { Answer, Says, answer, launch, message, openPage, ready, serveSite, within } from './harness.mjs';

const [siteDir] = process.argv.slice(2);
if (!siteDir) throw new Error('usage: node web/test/offline.mjs SITE_DIR');
// A copy, as the update case changes the site.
const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-offline-'));
fs.cpSync(siteDir, copy, { recursive: true });

const site = await serveSite(copy);
const browser = await launch();
const started = Date.now();
try {
  const page = await openPage(browser, site.url, { serial: false });
  await within(15000, 'the service worker to control the page',
    page.waitForFunction(() => navigator.serviceWorker.controller?.state === 'activated'));

  const cdp = await page.createCDPSession();
  await cdp.send('Network.enable');
  await cdp.send('Network.emulateNetworkConditions', { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
  const served = new Map();
  page.on('response', (response) => served.set(new URL(response.url()).pathname, response.fromServiceWorker()));
  await within(20000, 'the page to reload offline', page.reload());
  await ready(page);
  assert.equal(await page.evaluate(() => navigator.onLine), false, 'the network is cut');
  for (const file of ['/', '/main.js', '/orvex_web.js', '/orvex_web.wasm', '/style.css']) {
    assert.equal(served.get(file), true, `${file} came from the service worker (${served.get(file) === undefined ? 'not loaded' : 'from the network'})`);
  }
  assert.equal(await page.$eval('#update', (line) => line.hidden), true, 'no new version offered on the version cached');
  await page.select('#port', 'virtual');
  await page.click('#read');
  await message(page, Says.readDone, 20000);
  await answer(page, Answer.ok);
  assert.deepEqual(page.errors, []);

  // A new version: one changed file is a new worker, which waits.
  await cdp.send('Network.emulateNetworkConditions', { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
  fs.appendFileSync(path.join(copy, 'style.css'), '\n/* the next version */\n');
  await buildWorker(copy);
  // A second tab of the same site sees the same new version.
  const other = await page.browserContext().newPage();
  await within(20000, 'the second tab to load', other.goto(site.url));
  await ready(other);
  await page.bringToFront();
  await page.evaluate(() => { window.sameLoad = true; });
  await page.evaluate(() => navigator.serviceWorker.getRegistration().then((registration) => registration.update()));
  await within(15000, 'the line offering the new version', page.waitForSelector('#update:not([hidden])'));
  assert.equal(await page.$eval('#update', (line) => line.textContent.trim()), 'A new version is ready. Reload');
  await new Promise((resolve) => setTimeout(resolve, 500));
  assert.equal(await page.evaluate(() => window.sameLoad), true, 'the page reloaded by itself');

  // Not during a transfer.
  await page.click('#read');
  await within(5000, 'Reload unavailable during the Read', page.waitForSelector('#update-reload:disabled'));
  await page.click('#stop');
  await within(5000, 'Reload available after the Read', page.waitForSelector('body[data-transfer="idle"] #update-reload:enabled'));

  // Unsaved edits: Reload asks; Cancel stays on this load, No reloads.
  await page.click('#grid td[data-row="5"][data-column="1"]');
  await page.keyboard.type('146.52');
  await page.keyboard.press('Enter');
  await page.click('#update-reload');
  await message(page, 'File has been modified, save it now?', 5000);
  await answer(page, Answer.cancel);
  assert.equal(await page.evaluate(() => window.sameLoad), true, 'Cancel kept the page');
  await page.click('#update-reload');
  await message(page, 'File has been modified, save it now?', 5000);
  await Promise.all([page.waitForNavigation({ timeout: 15000 }), page.click(`#dialog button[data-answer="${Answer.no}"]`)]);
  await ready(page);
  assert.equal(await page.evaluate(() => window.sameLoad), undefined, 'Reload loaded the page again');
  assert.equal(await page.$eval('#update', (line) => line.hidden), true, 'the new version is the one running');
  assert.match(await page.evaluate(() => fetch('style.css').then((response) => response.text())), /the next version/);
  assert.equal((await page.evaluate(() => caches.keys())).length, 1, 'the old version\'s cache is gone');
  // The other tab still offers it; its Reload only loads again.
  await other.bringToFront();
  await within(5000, 'the second tab to offer the new version', other.waitForSelector('#update:not([hidden])'));
  await Promise.all([other.waitForNavigation({ timeout: 15000 }), other.click('#update-reload')]);
  await ready(other);
  assert.match(await other.evaluate(() => fetch('style.css').then((response) => response.text())), /the next version/);
  assert.deepEqual(page.errors, []);
  console.log(`offline: reloaded and read with the network cut; the new version offered and taken on Reload (${((Date.now() - started) / 1000).toFixed(1)} s)`);
} finally {
  await browser.close();
  await site.close();
  fs.rmSync(copy, { recursive: true, force: true });
}
