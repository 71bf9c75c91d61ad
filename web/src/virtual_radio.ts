// The virtual radio as a port the user can choose: the engine's own radio
// logic (the one orvex-sim runs) behind a SerialPortLike, so every feature
// works with no cable.  Bytes travel at the wire's pace of 9600 baud 8N1: a
// reply reaches the page when its last byte would have arrived.
import { after } from './clock';
import { byId, engine, text } from './engine';
import type { SerialOptions, SerialPortLike } from './port_types';

export interface VirtualFaults { noAnswer: boolean; wrongModel: boolean }

// The binding's radio (src/web/web_sim.cpp).
interface SimRadio {
  setFaults(noAnswer: boolean, wrongModel: boolean): void;
  feed(bytes: Uint8Array): { bytes: Uint8Array; hangUp: boolean }[];
  memory(): Uint8Array;
}

// One byte on the wire: a start bit, 8 data bits, a stop bit at 9600 baud.
const kBaud = 9600;
const kByteMs = 10_000 / kBaud;
// The clock's longest unclamped wait; longer pauses are taken in steps.
const kStepMs = 50;

// One radio per page load, so a Write and then a Read give back what was
// written, whichever port object the page holds.
let radio: SimRadio | undefined;
function theRadio(): SimRadio {
  radio ??= new engine.SimRadio() as SimRadio;
  return radio;
}

// The radio speaks only the wire's format; opened otherwise, it hears noise.
function understood(options: SerialOptions): boolean {
  return (
    options.baudRate === kBaud &&
    (options.dataBits ?? 8) === 8 &&
    (options.parity ?? 'none') === 'none' &&
    (options.stopBits ?? 1) === 1
  );
}

interface Delivery { due: number; bytes: Uint8Array; hangUp: boolean }

class VirtualPort implements SerialPortLike {
  private opened = 0;  // counts opens; 0 while closed
  private heard = false;
  private readStream: ReadableStream<Uint8Array> | null = null;
  private writeStream: WritableStream<Uint8Array> | null = null;
  private reader: ReadableStreamDefaultController<Uint8Array> | null = null;
  private queue: Delivery[] = [];
  private cancelWait: (() => void) | null = null;
  private toRadioFree = 0;    // when the page's bytes so far have reached the radio
  private fromRadioFree = 0;  // when the radio's replies so far have reached the page
  private opens = 0;

  constructor(private readonly faults: () => VirtualFaults) {}

  getInfo(): { usbVendorId?: number; usbProductId?: number } {
    return {};
  }

  // As in Web Serial, a stream the page cancelled, aborted or closed is
  // replaced by a new one the next time it is asked for, while the port is
  // open.
  get readable(): ReadableStream<Uint8Array> | null {
    if (!this.opened) return null;
    this.readStream ??= new ReadableStream<Uint8Array>({
      start: (controller) => { this.reader = controller; },
      cancel: () => { this.reader = null; this.readStream = null; },
    });
    return this.readStream;
  }

  get writable(): WritableStream<Uint8Array> | null {
    if (!this.opened) return null;
    const opened = this.opened;
    const done = () => { if (this.opened === opened) this.writeStream = null; };
    // A writer kept from before a close reaches no radio.
    this.writeStream ??= new WritableStream<Uint8Array>({
      write: (chunk) => { if (this.heard && this.opened === opened) this.send(chunk); },
      close: done,
      abort: done,
    });
    return this.writeStream;
  }

  async open(options: SerialOptions): Promise<void> {
    if (this.opened) throw new DOMException('The port is already open.', 'InvalidStateError');
    this.heard = understood(options);
    this.opened = ++this.opens;
  }

  async close(): Promise<void> {
    this.cancelWait?.();
    this.cancelWait = null;
    this.queue = [];
    try {
      this.reader?.close();
    } catch {
      // already closed or errored
    }
    this.reader = null;
    this.readStream = null;
    this.writeStream = null;
    this.opened = 0;
  }

  // The page's bytes reach the radio one wire byte apart; it answers once
  // the last has arrived, and its reply takes as long again to come back.
  private send(data: Uint8Array): void {
    // Web Serial takes any BufferSource.
    const chunk = ArrayBuffer.isView(data)
      ? new Uint8Array(data.buffer, data.byteOffset, data.byteLength)
      : new Uint8Array(data as ArrayBufferLike);
    const now = performance.now();
    this.toRadioFree = Math.max(now, this.toRadioFree) + chunk.length * kByteMs;
    const { noAnswer, wrongModel } = this.faults();
    const sim = theRadio();
    sim.setFaults(noAnswer, wrongModel);
    for (const reply of sim.feed(chunk)) {
      this.fromRadioFree = Math.max(this.toRadioFree, this.fromRadioFree) + reply.bytes.length * kByteMs;
      this.queue.push({ due: this.fromRadioFree, ...reply });
    }
    if (!this.cancelWait) this.deliver();
  }

  private deliver(): void {
    this.cancelWait = null;
    const now = performance.now();
    while (this.queue.length > 0 && this.queue[0].due <= now) {
      const { bytes, hangUp } = this.queue.shift()!;
      if (bytes.length > 0) this.reader?.enqueue(bytes);
      if (hangUp) {
        // An unplugged cable: the port's streams fail under the page.
        this.reader?.error(new DOMException('The device has been lost.', 'NetworkError'));
        void this.close();
        return;
      }
    }
    if (this.queue.length > 0) this.cancelWait = after(Math.min(this.queue[0].due - now, kStepMs), () => this.deliver());
  }
}

export function createVirtualRadio(faults: () => VirtualFaults): SerialPortLike {
  return new VirtualPort(faults);
}

// The page's fault switches (#virtual-faults), for createVirtualRadio.
export function faultSwitches(): VirtualFaults {
  return {
    noAnswer: byId<HTMLInputElement>('fault-no-answer').checked,
    wrongModel: byId<HTMLInputElement>('fault-wrong-model').checked,
  };
}

// String-table numbers of the switches' texts.
const T = { virtualRadio: 1970, noAnswer: 1971, wrongModel: 1972 };

export function showFaultSwitchTexts(): void {
  byId('virtual-faults').setAttribute('aria-label', text(T.virtualRadio));
  byId('fault-no-answer-text').textContent = text(T.noAnswer);
  byId('fault-wrong-model-text').textContent = text(T.wrongModel);
}
