// Test Cable: the cable doctor's checks the browser can see, on the chosen
// port (a granted one, one asked for, or the virtual radio): whether the
// browser got and opened the port, the adapter's USB ids, and the greeting
// and identification exchange.  The page moves the bytes and keeps the
// time; the engine judges and words every finding.
import { after } from './clock';
import { byId, engine, session, text } from './engine';
import { keepLinkLog } from './link_log';
import type { SerialPortLike } from './port_types';
import { kLineSettings } from './serial';
import { say } from './status';
import { chosenPort, isTransferring } from './transfer';

interface CableTest {
  next(): Uint8Array;
  received(bytes: Uint8Array): boolean;
  sendFailed(): void;
  opened(): void;
  openFailed(problem: string, reason: string): void;
  adapter(vendorId: string, productId: string): void;
  report(): { text: string; good: boolean };
  linkLog(): string;
  delete(): void;
}

const T = { title: 1694, testing: 1695, close: 1689 };

let testing = false;

const reasonOf = (error: unknown) => (error instanceof Error ? error.message : String(error));
const nameOf = (error: unknown) => (error instanceof Error ? error.name : '');

// The browser refuses a port it was not given (the chooser cancelled, the
// site blocked) and one another program or tab holds open.
function problemOf(error: unknown): string {
  if (['NotFoundError', 'SecurityError', 'NotAllowedError'].includes(nameOf(error))) return 'denied';
  if (['InvalidStateError', 'NetworkError'].includes(nameOf(error))) return 'busy';
  return 'other';
}

// The greeting and the identification: each step's bytes sent, then what
// comes back handed over until the engine has its reply or the limit passes.
async function converse(port: SerialPortLike, test: CableTest): Promise<void> {
  const reader = port.readable!.getReader();
  const writer = port.writable!.getWriter();
  let enough = false;
  let wake: (() => void) | undefined;
  const reading = (async () => {
    try {
      for (;;) {
        const { value, done } = await reader.read();
        if (done) break;
        if (value && value.length > 0 && test.received(value)) {
          enough = true;
          wake?.();
        }
      }
    } catch { /* the port went away: nothing more comes */ }
  })();
  const limit = engine.doctorReplyLimit() as number;
  for (let bytes = test.next(); bytes.length > 0; bytes = test.next()) {
    enough = false;
    try {
      await writer.write(bytes);
    } catch {
      test.sendFailed();
      break;
    }
    await new Promise<void>((resolve) => {
      const cancel = after(limit, resolve);
      wake = () => { cancel(); resolve(); };
      if (enough) wake();
    });
    wake = undefined;
  }
  await reader.cancel().catch(() => undefined);
  await reading;
  reader.releaseLock();
  await writer.close().catch(() => undefined);
  writer.releaseLock();
}

async function run(test: CableTest, port: SerialPortLike): Promise<void> {
  const { usbVendorId, usbProductId } = port.getInfo();
  const hex = (n: number) => n.toString(16).padStart(4, '0');
  if (usbVendorId !== undefined && usbProductId !== undefined) test.adapter(hex(usbVendorId), hex(usbProductId));
  try {
    await port.open(kLineSettings);
  } catch (error) {
    test.openFailed(problemOf(error), reasonOf(error));
    return;
  }
  test.opened();
  try {
    await converse(port, test);
  } finally {
    await port.close().catch(() => undefined);
  }
}

function show(report: string): void {
  const region = byId('cable-test');
  byId('cable-test-title').textContent = text(T.title);
  byId('cable-test-close').textContent = text(T.close);
  byId('cable-test-report').textContent = report;
  region.hidden = false;
}

export async function testCable(): Promise<void> {
  if (testing || isTransferring()) return; // the port is busy with the transfer
  testing = true;
  // The port is the test's until it ends.
  const busy = ['read', 'write', 'port'].map((id) => byId<HTMLButtonElement | HTMLSelectElement>(id));
  for (const control of busy) control.disabled = true;
  try {
    let refusal: unknown;
    const chosen = await chosenPort((error) => { refusal = error; });
    const portList = byId<HTMLSelectElement>('port');
    const name = chosen?.name ?? portList.selectedOptions[0]?.textContent ?? '';
    show(text(T.testing) + name + ' ...');
    say(text(T.testing) + name + ' ...');
    const test: CableTest = new engine.CableTest(session, name);
    if (chosen) await run(test, chosen.port);
    else test.openFailed(problemOf(refusal), reasonOf(refusal));
    const report = test.report();
    keepLinkLog(test.linkLog());
    test.delete();
    show(report.text);
    say(report.text.split('\n').pop() ?? '');
    byId('cable-test-report').focus();
  } finally {
    for (const control of busy) control.disabled = false;
    testing = false;
  }
}

export function wireCableTest(): void {
  const close = () => { byId('cable-test').hidden = true; byId('test-cable').focus(); };
  byId('cable-test-close').addEventListener('click', close);
  byId('cable-test').addEventListener('keydown', (event) => {
    if (event.key !== 'Escape') return;
    event.preventDefault();
    close();
  });
}
