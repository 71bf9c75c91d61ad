// The engine's programming job through the binding in node, against
// orvex-sim on a pseudo-terminal: a Read brings the radio's codeplug (the
// same bytes as orvex-cli reads), a Write with verify puts an edited one
// back, and a radio of another model ends with the desktop program's words.
// Not part of CI.
//   node web/test/job.mjs ENGINE_DIR ORVEX_CLI ORVEX_SIM
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import tty from 'node:tty';
import { execFileSync, spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';

const [engineDir, cli, simProgram] = process.argv.slice(2);
globalThis.__dirname = path.resolve(engineDir);
globalThis.require = createRequire(import.meta.url);
const { default: OrvexEngine } = await import(pathToFileURL(path.resolve(engineDir, 'orvex_web.js')).href);
const engine = await OrvexEngine({ wasmBinary: fs.readFileSync(path.resolve(engineDir, 'orvex_web.wasm')) });
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-job-'));

// A radio on a pseudo-terminal, and the page's line over it.
const radios = [];
process.on('exit', () => radios.forEach((sim) => sim.kill()));
async function radio(args) {
  const sim = spawn(simProgram, ['--fast', ...args], { stdio: ['ignore', 'pipe', 'inherit'] });
  radios.push(sim);
  const device = await new Promise((resolve) => sim.stdout.once('data', (d) => resolve(String(d).split('\n')[0].trim())));
  execFileSync('stty', ['-F', device, 'raw', '-echo']);
  return { sim, device };
}

function runJob(session, device, start) {
  const fd = fs.openSync(device, fs.constants.O_RDWR | fs.constants.O_NOCTTY | fs.constants.O_NONBLOCK);
  const stream = new tty.ReadStream(fd);
  let timer;
  let job;
  const line = {
    open: () => '',
    send: (bytes) => fs.writeSync(fd, bytes),
    close: () => {},
    arm: (ms) => { clearTimeout(timer); timer = setTimeout(() => job.timer(), ms); },
    disarm: () => clearTimeout(timer),
  };
  return new Promise((resolve) => {
    const asked = [];
    job = new engine.Job(session, line, {
      stage: () => {},
      progress: () => {},
      ask: (message) => { asked.push(message.text); setTimeout(() => job.answer(false), 0); },
      finished: (message, outcome, image) => {
        clearTimeout(timer);
        stream.destroy();
        setTimeout(() => { job.delete(); resolve({ message, outcome, image, asked }); }, 0);
      },
    });
    stream.on('data', (bytes) => job.received(bytes));
    assert.ok(start(job));
  });
}

const session = new engine.Session();
const source = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../tests/data');
const file = path.join(source, fs.readdirSync(source).find((name) => name.endsWith('.tw')));
{
  const { sim, device } = await radio(['--image', file]);
  const read = await runJob(session, device, (job) => job.read('the test port'));
  sim.kill();
  assert.equal(read.outcome, 'completed');
  assert.equal(read.message.text, 'Reading completed!');
  assert.equal(read.image.length, 8192);
  assert.equal(session.modified(), false, 'a Read is the new baseline');
  assert.match(session.title(), /the test port/);
  const expected = path.join(tmp, 'cli.tw');
  const { sim: sim2, device: device2 } = await radio(['--image', file]);
  execFileSync(cli, ['read', '--port', device2, '-o', expected, '--no-backup'], { stdio: 'ignore' });
  sim2.kill();
  assert.deepEqual(Buffer.from(session.save('read.tw')), fs.readFileSync(expected), 'the CLI reads the same bytes');
}
{
  const saved = path.join(tmp, 'written.tw');
  const { sim, device } = await radio(['--save', saved]);
  const write = await runJob(session, device, (job) => job.write('the test port', true));
  sim.kill();
  assert.equal(write.outcome, 'completed', write.message.text);
  assert.match(write.message.text, /^Writing completed!\n/);
}
{
  const { sim, device } = await radio(['--ident', 'XX999']);
  const wrong = await runJob(session, device, (job) => job.read('the test port'));
  sim.kill();
  assert.equal(wrong.outcome, 'modelMismatch');
  assert.equal(wrong.message.text, 'Model type is wrong.');
  assert.equal(wrong.message.kind, 'critical');
}
{
  const { sim, device } = await radio(['--no-radio']);
  const silent = await runJob(session, device, (job) => job.read('the test port'));
  sim.kill();
  assert.deepEqual(silent.asked, ['Check Connection. Retry or Cancel?']);
  assert.equal(silent.outcome, 'failed');
  assert.equal(silent.message.text, '');
}
console.log('the job runs through the binding as the CLI runs it');
process.exit(0);
