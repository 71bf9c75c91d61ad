// A WebSocket server on 127.0.0.1 that puts a virtual radio behind each
// connection: the connection's URL names orvex-sim's options
// (`ws://127.0.0.1:PORT/?args=--ident,XY123`), the bridge starts orvex-sim
// with them at wire speed, opens the pseudo-terminal it prints raw and relays
// bytes both ways (binary messages).  A text message "ready" says the line is
// open; "error: ..." says why it is not.  Closing the socket stops that
// orvex-sim.  The browser tests' fake navigator.serial talks to it.
//   node web/test/bridge.mjs [ORVEX_SIM]     prints the URL, serves until killed
//   import { startBridge } from './bridge.mjs'
import { execFile, spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import readline from 'node:readline';
import tty from 'node:tty';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';
import { WebSocketServer } from 'ws';

const here = path.dirname(fileURLToPath(import.meta.url));
export const defaultSim = () => process.env.ORVEX_SIM ?? path.resolve(here, '../../build/bin/orvex-sim');
const kStartLimit = 5000;  // ms for orvex-sim to print its device
// Every orvex-sim still running, stopped when this process ends however it ends.
const running = new Set();
process.on('exit', () => { for (const child of running) child.kill('SIGTERM'); });

// Starts orvex-sim with `args` and resolves its device path.
function startSim(sim, args) {
  const child = spawn(sim, args, { stdio: ['ignore', 'pipe', 'pipe'] });
  running.add(child);
  child.once('exit', () => running.delete(child));
  let errors = '';
  child.stderr.on('data', (chunk) => { errors += chunk; });
  const device = new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`orvex-sim printed no device within ${kStartLimit} ms`)), kStartLimit);
    const lines = readline.createInterface({ input: child.stdout });
    lines.once('line', (line) => { clearTimeout(timer); resolve(line.trim()); });
    child.once('error', (error) => { clearTimeout(timer); reject(error); });
    child.once('exit', (code) => { clearTimeout(timer); reject(new Error(`orvex-sim ${args.join(' ')} ended (${code}): ${errors.trim()}`)); });
  });
  return { child, device };
}

// The line the way a serial driver hands it over: raw, no echo, as a duplex
// stream (tty.ReadStream writes too; a tty handle, so reads do not block a
// worker thread).
async function openLine(device) {
  await promisify(execFile)('stty', ['-F', device, 'raw', '-echo']);
  const fd = fs.openSync(device, fs.constants.O_RDWR | fs.constants.O_NOCTTY);
  return new tty.ReadStream(fd);
}

function relay(socket, request, sim, log) {
  const args = (new URL(request.url, 'ws://localhost').searchParams.get('args') ?? '').split(',').filter(Boolean);
  const { child, device } = startSim(sim, args);
  let line = null;
  let closed = false;
  const stop = () => {
    if (closed) return;
    closed = true;
    line?.destroy();
    child.kill('SIGTERM');
  };
  socket.on('close', stop);
  socket.on('error', stop);
  child.on('exit', () => socket.close());
  device.then(openLine).then((opened) => {
    if (closed) return opened.destroy();
    line = opened;
    log(`orvex-sim ${args.join(' ')}`);
    line.on('data', (bytes) => socket.send(bytes, { binary: true }));
    line.on('error', () => socket.close());
    socket.on('message', (bytes, binary) => { if (binary) line.write(bytes); });
    socket.send('ready');
  }).catch((error) => {
    if (socket.readyState === socket.OPEN) socket.send(`error: ${error.message}`);
    socket.close();
    stop();
  });
}

// Resolves { url, close() } once listening: at /bridge of `site` (an HTTP
// server on 127.0.0.1, so the page reaches the bridge on its own origin, as
// a page that allows no other may), or on a free port of 127.0.0.1.
export async function startBridge({ sim = defaultSim(), site, log = () => {} } = {}) {
  if (!fs.existsSync(sim)) throw new Error(`bridge: no orvex-sim at ${sim} (set ORVEX_SIM)`);
  const server = site ? new WebSocketServer({ server: site, path: '/bridge' }) : new WebSocketServer({ host: '127.0.0.1', port: 0 });
  if (!site) await new Promise((resolve, reject) => { server.once('listening', resolve); server.once('error', reject); });
  server.on('connection', (socket, request) => relay(socket, request, sim, log));
  return {
    url: site ? `ws://127.0.0.1:${site.address().port}/bridge` : `ws://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => {
      for (const client of server.clients) client.terminate();
      server.close(() => resolve());
    }),
  };
}

if (process.argv[1] && path.resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const bridge = await startBridge({ sim: process.argv[2] ?? defaultSim(), log: console.log });
  console.log(bridge.url);
  process.on('SIGINT', () => bridge.close().then(() => process.exit(0)));
  process.on('SIGTERM', () => bridge.close().then(() => process.exit(0)));
}
