// What the page needs of a serial port: the part of Web Serial's SerialPort
// a transfer uses, so the virtual radio and a test's fake can stand in.

export interface SerialOptions { baudRate: number; dataBits?: number; parity?: 'none' | 'even' | 'odd'; stopBits?: number }

export interface SerialPortLike {
  open(options: SerialOptions): Promise<void>;
  close(): Promise<void>;
  readonly readable: ReadableStream<Uint8Array> | null;
  readonly writable: WritableStream<Uint8Array> | null;
  getInfo(): { usbVendorId?: number; usbProductId?: number };
}

export interface SerialLike {
  requestPort(options?: object): Promise<SerialPortLike>;
  getPorts(): Promise<SerialPortLike[]>;
  addEventListener(type: 'connect' | 'disconnect', listener: (event: Event) => void): void;
}

// navigator.serial where the browser has it (Chromium, Edge, Firefox 151+
// with its add-on; only on https or localhost).
export function webSerial(): SerialLike | undefined {
  return (navigator as Navigator & { serial?: SerialLike }).serial;
}
