// The page's virtual radio in node: web/src/virtual_radio.ts bundled over
// the engine module, spoken to with the frames the desktop program sends.
// Checks the replies, that memory survives from port to port, that faults
// switch at a greeting only and that no reply arrives before its last byte
// would have on a 9600 baud wire; prints the reply delays it measured.
//   node web/test/virtual_radio.mjs SITE_DIR     (orvex_web.js and .wasm in it)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';
import * as esbuild from 'esbuild';
import { acknowledge, exchange, greeting, ident, identify, kByteMs, readRow } from './radio_frames.mjs';

const [siteDir] = process.argv.slice(2);
globalThis.__dirname = path.resolve(siteDir);
globalThis.require = createRequire(import.meta.url);
const { default: OrvexEngine } = await import(pathToFileURL(path.resolve(siteDir, 'orvex_web.js')).href);
globalThis.orvexEngine = await OrvexEngine({ wasmBinary: fs.readFileSync(path.resolve(siteDir, 'orvex_web.wasm')) });

// The port module with the engine module above in place of the page's.
const bundle = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-vr-')), 'virtual_radio.mjs');
await esbuild.build({
  entryPoints: [fileURLToPath(new URL('../src/virtual_radio.ts', import.meta.url))],
  bundle: true, format: 'esm', platform: 'neutral', outfile: bundle, logLevel: 'error',
  plugins: [{
    name: 'engine',
    setup(build) {
      build.onResolve({ filter: /\/engine$/ }, () => ({ path: 'engine', namespace: 'engine' }));
      build.onLoad({ filter: /.*/, namespace: 'engine' }, () => ({ contents: 'export const engine = globalThis.orvexEngine; export const byId = () => null; export const text = () => \'\';' }));
    },
  }],
});
const { createVirtualRadio } = await import(pathToFileURL(bundle).href);

const faults = { noAnswer: false, wrongModel: false };

async function opened(options = { baudRate: 9600 }) {
  const port = createVirtualRadio(() => faults);
  await port.open(options);
  return port;
}

const delays = [];
async function expectReply(port, frame, expected, what) {
  const { bytes, ms, floor } = await exchange(port, frame, expected.length);
  assert.deepEqual(bytes, expected, what);
  // Never before its last byte could have crossed the wire.
  assert.ok(ms >= floor - 0.05, `${what}: ${ms.toFixed(2)} ms, wire ${floor.toFixed(2)} ms`);
  delays.push({ what, ms, floor });
}

// The binding alone: frames in one chunk answered in order, a read reply
// is its memory, a written row lands in it.
const sim = new globalThis.orvexEngine.SimRadio();
const feed = (bytes) => sim.feed(new Uint8Array(bytes)).map((reply) => [...reply.bytes]);
const written = [...Buffer.from('written directly')];
assert.deepEqual(feed([...greeting, ...identify, ...acknowledge]), [[0x06], ident('TZ417'), [0x06]], 'session');
assert.deepEqual(feed(readRow(2))[0].slice(4), [...sim.memory().slice(0x20, 0x60)], 'read reply');
assert.deepEqual(feed([0x57, 0x00, 0x70, 0x10, ...written]), [[0x06]], 'write reply');
assert.deepEqual([...sim.memory().slice(0x70, 0x80)], written, 'written row');
const image = new Uint8Array(8192).map((_, i) => i & 0xff);
assert.equal(sim.load(image.slice(1)), false, 'a short image');
assert.deepEqual([...sim.memory().slice(0x70, 0x80)], written, 'unchanged');
assert.equal(sim.load(image), true, 'an image');
assert.deepEqual(sim.memory(), image, 'loaded');
sim.delete();

// A session as a Read starts it, and the first read block.
let port = await opened();
await expectReply(port, greeting, [0x06], 'greeting');
await expectReply(port, identify, ident('TZ417'), 'identify');
await expectReply(port, acknowledge, [0x06], 'acknowledge');
const row1 = (await exchange(port, readRow(1), 68)).bytes;
assert.deepEqual(row1.slice(0, 4), [0x57, 0x00, 0x10, 0x40], 'read reply header');
await expectReply(port, readRow(1), row1, 'read block');

// A written row is what the next session reads, also through another port.
const row = [...Buffer.from('ORVEX virtual 01')];
await expectReply(port, [0x57, 0x00, 0x50, 0x10, ...row], [0x06], 'write row 5');
await port.close();
port = await opened();
await expectReply(port, greeting, [0x06], 'greeting again');
await expectReply(port, identify, ident('TZ417'), 'identify again');
await expectReply(port, acknowledge, [0x06], 'acknowledge again');
assert.deepEqual((await exchange(port, readRow(5), 68)).bytes.slice(4, 20), row, 'row 5 read back');

// Faults take effect at the next greeting, not in a running session.
faults.wrongModel = true;
await expectReply(port, identify, ident('TZ417'), 'identify after switching');
await expectReply(port, greeting, [0x06], 'greeting, wrong model');
await expectReply(port, identify, ident('TZ418'), 'identify, wrong model');
faults.wrongModel = false;
faults.noAnswer = true;
assert.deepEqual((await exchange(port, greeting, 1, 100)).bytes, [], 'no answer');
faults.noAnswer = false;

// Streams the page cancels or aborts are replaced, as Web Serial does.
const [readable, writable] = [port.readable, port.writable];
await readable.cancel();
await writable.abort();
assert.ok(port.readable !== readable && port.writable !== writable, 'new streams');
await expectReply(port, greeting, [0x06], 'greeting on new streams');
await port.close();
assert.equal(port.readable, null, 'closed');

// Opened at another speed, the radio hears noise.
port = await opened({ baudRate: 19200 });
assert.deepEqual((await exchange(port, greeting, 1, 100)).bytes, [], 'wrong speed');
await port.close();

// 73 read blocks, as long as a Read's: the pace over a whole transfer.
port = await opened();
await exchange(port, greeting, 1);
await exchange(port, identify, 9);
await exchange(port, acknowledge, 1);
const start = performance.now();
for (let block = 0; block < 73; ++block) assert.equal((await exchange(port, readRow(1), 68)).bytes.length, 68);
const total = performance.now() - start;
const floor = 73 * 72 * kByteMs;
await port.close();

for (const { what, ms, floor: f } of delays) console.log(`${what.padEnd(26)} ${ms.toFixed(2).padStart(7)} ms (wire ${f.toFixed(2)} ms)`);
console.log(`73 read blocks ${total.toFixed(0)} ms, wire ${floor.toFixed(0)} ms, ratio ${(total / floor).toFixed(3)}`);
console.log('the virtual radio answers as the radio does, at the wire\'s pace');
process.exit(0);  // the clock's message channel would keep node running
