// One serial port held open for a whole programming job: Web Serial's
// SerialPort (or anything shaped like it, the virtual radio) driven as the
// engine's job wants it.  Web Serial opens and closes asynchronously, so the
// real port is opened before the job starts and closed once it has ended;
// in between the job opens and closes it only logically (a retry, a
// read-back).  Every pause goes through after(), which the browser does not
// stretch.
import { after } from './clock';
import type { SerialOptions, SerialPortLike } from './port_types';
import { webSerial } from './port_types';

// The radio's line: 9600 baud, 8 data bits, no parity, one stop bit.
export const kLineSettings: SerialOptions = { baudRate: 9600, dataBits: 8, parity: 'none', stopBits: 1 };

// Where the line reports to: the engine's job.
export interface LineSink {
  received(bytes: Uint8Array): void;
  timer(): void;
  failed(reason: string): void;
}

const reasonOf = (error: unknown) => (error instanceof Error ? error.message : String(error));

export class SerialLine {
  private sink: LineSink | undefined;
  private openError = '';
  private reader: ReadableStreamDefaultReader<Uint8Array> | undefined;
  private writer: WritableStreamDefaultWriter<Uint8Array> | undefined;
  private reading: Promise<void> = Promise.resolve();
  private cancelTimer: (() => void) | undefined;
  private releasing = false;

  constructor(private readonly port: SerialPortLike) {}

  // Opens the real port; a failure is kept as the system's text, which the
  // job's first open reports.
  async start(sink: LineSink): Promise<void> {
    this.sink = sink;
    try {
      await this.port.open(kLineSettings);
      if (!this.port.readable || !this.port.writable) throw new Error('the port has no stream');
      this.reader = this.port.readable.getReader();
      this.writer = this.port.writable.getWriter();
      this.reading = this.readLoop(this.reader);
    } catch (error) {
      this.openError = reasonOf(error);
    }
  }

  // The engine's side of the line (the job's port).
  open(): string {
    return this.openError;
  }
  send(bytes: Uint8Array): void {
    this.writer?.write(bytes).catch((error) => this.lost(error));
  }
  close(): void {}
  arm(ms: number): void {
    this.cancelTimer?.();
    this.cancelTimer = after(ms, () => {
      this.cancelTimer = undefined;
      this.sink?.timer();
    });
  }
  disarm(): void {
    this.cancelTimer?.();
    this.cancelTimer = undefined;
  }

  // Releases the streams and closes the real port; the sink hears nothing
  // more.
  async stop(): Promise<void> {
    this.disarm();
    this.sink = undefined;
    if (this.releasing) return;
    this.releasing = true;
    const opened = this.reader !== undefined;
    try {
      await this.reader?.cancel();
    } catch { /* the port is gone already */ }
    await this.reading;
    this.reader?.releaseLock();
    try {
      await this.writer?.close();
    } catch { /* the port is gone already */ }
    this.writer?.releaseLock();
    this.reader = undefined;
    this.writer = undefined;
    if (opened) await this.port.close().catch(() => undefined);
  }

  private async readLoop(reader: ReadableStreamDefaultReader<Uint8Array>): Promise<void> {
    try {
      for (;;) {
        const { value, done } = await reader.read();
        if (done) break;
        if (value && value.length > 0) this.sink?.received(value);
      }
    } catch (error) {
      this.lost(error);
    }
  }

  // The port failed while open: unplugged, or the system's error.  A later
  // open of the job (a retry) reports it too.
  private lost(error: unknown): void {
    if (this.releasing) return;
    this.openError ||= reasonOf(error);
    this.sink?.failed(reasonOf(error));
  }
}

// The ports the user granted this page before, and a way to ask for another
// (the browser's chooser, every serial port listed).
export async function grantedPorts(): Promise<SerialPortLike[]> {
  return (await webSerial()?.getPorts()) ?? [];
}

export async function requestPort(refused?: (error: unknown) => void): Promise<SerialPortLike | undefined> {
  try {
    return await webSerial()?.requestPort();
  } catch (error) {
    refused?.(error); // the chooser was cancelled, or the site may not ask
    return undefined;
  }
}
