// Opens a .tw file in the page in headless Chromium, types a frequency into
// a cell, saves by download and has the native CLI read the saved file.
// Not part of CI.
//   node web/test/page.mjs SITE_URL FILE.tw SCREENSHOT.png [ORVEX_CLI]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import puppeteer from 'puppeteer-core';

const [url, twFile, shot, cli] = process.argv.slice(2);
const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-web-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking'],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1200, height: 700 });
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  // The file input path, as in a browser without the File System Access API.
  await page.evaluateOnNewDocument(() => { delete window.showOpenFilePicker; });
  page.on('dialog', (dialog) => dialog.accept());
  page.on('pageerror', (error) => console.error('page:', error.message));
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]');
  const input = await page.$('#file');
  await input.uploadFile(twFile);
  await page.waitForFunction(() => document.title.includes(' - '));
  await page.click('#grid tr:nth-child(4) td:nth-child(2)');
  await page.keyboard.type('145.5');
  await page.keyboard.press('Enter');
  const state = await page.evaluate(() => ({
    title: document.title,
    cell: document.querySelector('#grid tr:nth-child(4) td:nth-child(2)').textContent,
    current: document.querySelector('#grid td.current')?.getAttribute('aria-label'),
  }));
  console.log(state);
  await page.screenshot({ path: shot });
  // Escape puts the cell back; Tab leaves the editor keeping the edit;
  // Ctrl+Z undoes it.
  const tx = () => page.$eval('#grid tr:nth-child(4) td:nth-child(3)', (e) => e.textContent);
  const before = await tx();
  await page.keyboard.type('146');
  await page.keyboard.press('Escape');
  const afterEscape = await tx();
  await page.keyboard.type('146');
  await page.keyboard.press('Tab');
  const afterTab = await tx();
  const currentAfterTab = await page.$eval('#grid td.current', (e) => e.dataset.column);
  await page.keyboard.down('Control');
  await page.keyboard.press('z');
  await page.keyboard.up('Control');
  const afterUndo = await tx();
  console.log({ before, afterEscape, afterTab, currentAfterTab, afterUndo });
  if (afterEscape !== before || afterTab !== '146.00000' || currentAfterTab !== '3' || afterUndo !== before) {
    process.exitCode = 1;
  }
  await page.click('#save');
  const saved = path.join(downloads, path.basename(twFile));
  for (let i = 0; i < 50 && !fs.existsSync(saved); ++i) await new Promise((r) => setTimeout(r, 100));
  const bytes = fs.readFileSync(saved);
  console.log('saved', saved, bytes.length, 'bytes');
  // The language switch, remembered over a reload.
  await page.select('#language', '1');
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]');
  console.log('after reload:', await page.$eval('#caption', (e) => e.textContent),
              await page.$eval('#open', (e) => e.textContent));
  await page.screenshot({ path: shot.replace(/\.png$/, '-zh.png') });
  if (cli) {
    // The native program reads the saved file: its channels are the
    // original's with only channel 3's Rx changed.
    const channels = (file) => JSON.parse(execFileSync(cli, ['export', file, '--format', 'json'])).channels;
    const expected = channels(twFile);
    expected[2].rx = '145.50000';
    const same = JSON.stringify(channels(saved)) === JSON.stringify(expected);
    console.log(same ? 'orvex-cli reads the same channels' : 'orvex-cli reads DIFFERENT channels');
    process.exitCode = same ? 0 : 1;
  }
} finally {
  await browser.close();
}
