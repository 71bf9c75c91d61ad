// What the browser tests and the benchmark share: the site served from a
// folder, headless Chromium, a page with the fake navigator.serial, and waits
// that fail naming what they waited for.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const fakeSerial = fs.readFileSync(path.join(here, 'fake_serial.js'), 'utf8');

// String-table numbers of the message box's buttons.
export const Answer = { yes: 1044, no: 1045, retry: 1046, ok: 1156, cancel: 1157 };
// Texts of the desktop program the page must show (English).
export const Says = {
  readDone: 'Reading completed!',
  writeDone: 'Writing completed!',
  verified: 'The radio was read back and holds every row written.',
  notHeld: 'The radio does not hold what was written',
  writeAnyway: 'Write anyway?',
  wrongModel: 'Model type is wrong.',
  retry: 'Check Connection. Retry or Cancel?',
};

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.mjs': 'text/javascript',
  '.css': 'text/css',
  '.wasm': 'application/wasm',
  '.map': 'application/json',
  '.json': 'application/json',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
};

// Serves `dir` on a free port of 127.0.0.1, as any static host would.
export async function serveSite(dir) {
  const root = path.resolve(dir);
  if (!fs.existsSync(path.join(root, 'index.html'))) throw new Error(`no site in ${root} (run tools/web.sh --build-only)`);
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(root, name.endsWith('/') ? `${name}index.html` : name);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': kTypes[path.extname(file)] ?? 'application/octet-stream', 'Cache-Control': 'no-store' });
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, server, close: () => new Promise((resolve) => server.close(resolve)) };
}

// Chromium as puppeteer starts it, which keeps timers of hidden tabs running;
// `asForAUser` leaves those switches out, so the browser clamps as it does
// for a person.
export function launch({ asForAUser = false } = {}) {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking'],
    ignoreDefaultArgs: asForAUser
      ? ['--disable-background-timer-throttling', '--disable-renderer-backgrounding', '--disable-backgrounding-occluded-windows']
      : [],
  });
}

// Resolves `promise`, or fails after `ms` saying what it waited for.
export async function within(ms, what, promise) {
  let timer;
  const limit = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`waited ${ms / 1000} s for ${what}`)), ms);
  });
  try {
    return await Promise.race([promise, limit]);
  } finally {
    clearTimeout(timer);
  }
}

// A page of the site in a browser context of its own (fresh storage), with
// the fake navigator.serial (none at all when `serial` is false) and, when
// `pickers` is false, without the File System Access API.  Downloads land
// in `downloads`.
export async function openPage(browser, site, { bridge = '', granted = [], next = [], serial = true, pickers = true, downloads } = {}) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  await page.setViewport({ width: 1280, height: 800 });
  if (downloads) {
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads, browserContextId: context.id });
  }
  if (serial) await page.evaluateOnNewDocument(`${fakeSerial}\ninstallFakeSerial(${JSON.stringify({ bridge, granted, next })});`);
  else await page.evaluateOnNewDocument(() => { delete Navigator.prototype.serial; });
  if (!pickers) await page.evaluateOnNewDocument(() => { delete window.showOpenFilePicker; delete window.showSaveFilePicker; });
  await within(20000, `the page at ${site} to load`, page.goto(site));
  await ready(page);
  return page;
}

// Opens `file` through the file input of #open (the pickers removed) and
// waits for the title to name it.
export async function openByInput(page, file) {
  const [chooser] = await within(5000, 'the file chooser of #open', Promise.all([page.waitForFileChooser(), page.click('#open')]));
  await chooser.accept([file]);
  const name = path.basename(file, '.tw');
  await within(5000, `the title to name ${name}`, page.waitForFunction((n) => document.title.includes(n), {}, name));
}

export const ready = (page) =>
  within(20000, 'the page to be ready (body[data-ready="true"])', page.waitForSelector('body[data-ready="true"]'));

// The message box's text once it is open with `wanted` in it; waiting for the
// text only (not the box) reads a box that opened before the wait.
export async function message(page, wanted, ms) {
  const shown = () => page.evaluate(() => (document.getElementById('dialog')?.open ? document.getElementById('dialog-text').textContent : null));
  try {
    await within(ms, `the message "${wanted}"`, page.waitForFunction(
      (text) => document.getElementById('dialog')?.open && document.getElementById('dialog-text').textContent.includes(text),
      { polling: 50, timeout: ms + 1000 }, wanted));
  } catch (error) {
    const text = await shown().catch(() => null);
    throw new Error(`${error.message}; the page shows ${text === null ? 'no message' : `"${text}"`}`);
  }
  return shown();
}

// Clicks a button of the open message box by its string number and waits
// until that box is gone: closed, or followed by the next one at once.
export async function answer(page, button) {
  const selector = `#dialog[open] button[data-answer="${button}"]`;
  await within(5000, `the message box's button ${button}`, page.waitForSelector(selector));
  await page.$eval(selector, (chosen) => { chosen.dataset.answered = 'true'; });
  await page.click(selector);
  await within(5000, 'the message box to go after its answer', page.waitForFunction(
    () => !document.getElementById('dialog').open || !document.querySelector('#dialog button[data-answered]')));
}

// The first port the port list offers (the ports granted come first).
export async function chooseGrantedPort(page) {
  await within(10000, 'the port list #port to offer a granted port, the virtual radio and another port',
    page.waitForFunction(() => document.querySelectorAll('#port option').length >= 3));
  await page.select('#port', await page.$eval('#port option', (option) => option.value));
}

// Waits for the download `name` (or any) to complete in `folder` and
// returns its path.
export async function downloaded(folder, name, ms = 10000) {
  const done = (file) => (name ? file === name : !file.endsWith('.crdownload'));
  for (const deadline = Date.now() + ms; Date.now() < deadline; await new Promise((resolve) => setTimeout(resolve, 50))) {
    const file = fs.readdirSync(folder).find(done);
    if (file && !fs.existsSync(path.join(folder, `${file}.crdownload`))) return path.join(folder, file);
  }
  throw new Error(`waited ${ms / 1000} s for the download ${name ?? 'of the page'} into ${folder}`);
}
