// The page's virtual radio in headless Chromium, with the tab visible and
// then hidden (the browser's background throttling left on): a session and
// 73 read blocks, as long as a Read's, spoken by hand-written frames.
// Prints the delays against the 9600 baud wire's.  Run by hand:
//   node web/test/virtual_radio_page.mjs SITE_DIR
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import * as esbuild from 'esbuild';
import { launchChromium } from './chromium.mjs';
import { ident, kByteMs } from './radio_frames.mjs';

const [siteDir] = process.argv.slice(2);
const probe = `
import { loadEngine } from ${JSON.stringify(fileURLToPath(new URL('../src/engine.ts', import.meta.url)))};
import { createVirtualRadio } from ${JSON.stringify(fileURLToPath(new URL('../src/virtual_radio.ts', import.meta.url)))};
import { acknowledge, exchange, greeting, identify, readRow } from ${JSON.stringify(fileURLToPath(new URL('./radio_frames.mjs', import.meta.url)))};
window.runProbe = async () => {
  await loadEngine();
  const port = createVirtualRadio(() => ({ noAnswer: false, wrongModel: false }));
  await port.open({ baudRate: 9600 });
  const session = [await exchange(port, greeting, 1), await exchange(port, identify, 8),
                   await exchange(port, acknowledge, 1)];
  const blocks = [];
  for (let i = 0; i < 73; ++i) blocks.push((await exchange(port, readRow(1), 68)).ms);
  await port.close();
  return { visibility: document.visibilityState, session: session.map((e) => e.ms), identReply: session[1].bytes, blocks };
};`;
const built = await esbuild.build({ stdin: { contents: probe, resolveDir: '.' }, bundle: true, format: 'esm', write: false });

const server = http.createServer((request, response) => {
  const name = path.basename(new URL(request.url, 'http://x').pathname) || 'index.html';
  if (name !== 'probe.js' && !fs.existsSync(path.join(siteDir, name))) return response.writeHead(404).end();
  const body = name === 'probe.js' ? built.outputFiles[0].contents : fs.readFileSync(path.join(siteDir, name));
  const types = { '.js': 'text/javascript', '.wasm': 'application/wasm', '.html': 'text/html', '.css': 'text/css' };
  response.writeHead(200, { 'Content-Type': types[path.extname(name)] ?? 'application/octet-stream' });
  response.end(body);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));

// A hidden tab as a user's: the throttling puppeteer switches off stays on.
const browser = await launchChromium({
  ignoreDefaultArgs: ['--disable-background-timer-throttling', '--disable-renderer-backgrounding',
                      '--disable-backgrounding-occluded-windows'],
});
try {
  const page = await browser.newPage();
  page.on('pageerror', (error) => console.error('page:', error.message));
  await page.goto(`http://127.0.0.1:${server.address().port}/index.html`);
  await page.addScriptTag({ type: 'module', url: 'probe.js' });
  await page.waitForFunction(() => window.runProbe);
  for (const hidden of [false, true]) {
    if (hidden) await (await browser.newPage()).bringToFront();
    const { visibility, session, identReply, blocks } = await page.evaluate(() => window.runProbe());
    assert.equal(visibility, hidden ? 'hidden' : 'visible');
    assert.deepEqual(identReply, ident('TZ417'));
    const total = blocks.reduce((a, b) => a + b, 0);
    const floor = 73 * 72 * kByteMs;
    const sorted = [...blocks].sort((a, b) => a - b);
    console.log(`${visibility.padEnd(7)} greeting ${session[0].toFixed(2)} ms (wire ${(9 * kByteMs).toFixed(2)}), ` +
                `identify ${session[1].toFixed(2)} (${(9 * kByteMs).toFixed(2)}), ` +
                `acknowledge ${session[2].toFixed(2)} (${(2 * kByteMs).toFixed(2)}); read block median ` +
                `${sorted[36].toFixed(2)} ms, slowest ${sorted[72].toFixed(2)} (wire ${(72 * kByteMs).toFixed(2)}); ` +
                `73 blocks ${total.toFixed(0)} ms, ratio ${(total / floor).toFixed(3)}`);
  }
} finally {
  await browser.close();
  server.close();
}
