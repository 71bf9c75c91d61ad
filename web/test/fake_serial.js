// A stand-in for Web Serial's navigator.serial, injected before the page's
// scripts (puppeteer's evaluateOnNewDocument).  Headless Chromium never
// answers the port chooser and never lists a pseudo-terminal, so each port
// here is a virtual radio: its bytes go over a WebSocket to web/test/bridge.mjs
// and from there to an orvex-sim of its own.  The radio stays on the cable
// while the port is closed and opened again (its memory with it); leaving the
// page or forget() unplugs it.
//
// It behaves as Chromium's ports do where a page could go wrong: open() of an
// open port and close() of a closed one are refused, close() is refused
// while the page still holds a reader or writer, `readable` is a new stream
// after a cancelled one, and nothing is received while the port is closed.
//
// The test reads and steers it through window.orvexFakeSerial:
//   next      orvex-sim's options for the port requestPort() grants next
//             (null: the user cancels the chooser)
//   opens     the options of every open(), for the check that the page opens
//             at 9600 baud, 8 data bits, no parity, one stop bit
//   sent      bytes the page has written
//   plug(options)  a radio plugged in on a port granted before: the port
//             joins getPorts() and a 'connect' event names it
// `installFakeSerial({ bridge, granted: [[options]], next: [options] })`.
function installFakeSerial(config) {
  const kStoreKey = 'orvex-fake-serial';
  const lost = () => new DOMException('The device has been lost.', 'NetworkError');
  const invalid = (message) => new DOMException(message, 'InvalidStateError');
  const copy = (chunk) =>
    chunk instanceof ArrayBuffer
      ? new Uint8Array(chunk.slice(0))
      : new Uint8Array(chunk.buffer.slice(chunk.byteOffset, chunk.byteOffset + chunk.byteLength));
  const is8N1At9600 = (options) =>
    options.baudRate === 9600 &&
    (options.dataBits ?? 8) === 8 &&
    (options.parity ?? 'none') === 'none' &&
    (options.stopBits ?? 1) === 1 &&
    (options.flowControl ?? 'none') === 'none';

  const fake = {
    next: config.next ?? [],
    opens: [],
    sent: 0,
    is8N1At9600,
  };

  class FakePort extends EventTarget {
    constructor(args) {
      super();
      this.args = args;
      this.socket = null;
      this.isOpen = false;
      this.pending = [];
      this.reading = null; // { stream, controller }
      this.writing = null;
    }

    getInfo() {
      return { usbVendorId: 0x067b, usbProductId: 0x2303 };
    }

    // The radio: an orvex-sim behind the bridge, started on first use.
    plugIn() {
      if (this.socket) return this.socket.ready;
      const socket = new WebSocket(`${config.bridge}?args=${encodeURIComponent(this.args.join(','))}`);
      socket.binaryType = 'arraybuffer';
      this.socket = socket;
      socket.ready = new Promise((resolve, reject) => {
        socket.onmessage = (event) => {
          if (typeof event.data !== 'string') return this.received(new Uint8Array(event.data));
          if (event.data === 'ready') resolve();
          else reject(new DOMException(`Failed to open serial port (${event.data}).`, 'NetworkError'));
        };
        socket.onclose = () => {
          reject(new DOMException('Failed to open serial port (the bridge closed).', 'NetworkError'));
          this.unplugged(socket);
        };
      });
      return socket.ready;
    }

    unplugged(socket) {
      if (this.socket !== socket) return;
      this.socket = null;
      this.reading?.controller.error(lost());
      this.reading = null;
    }

    received(bytes) {
      if (!this.isOpen) return;
      if (this.reading) this.reading.controller.enqueue(bytes);
      else this.pending.push(bytes);
    }

    async open(options) {
      if (this.isOpen) throw invalid('The port is already open.');
      fake.opens.push({ ...options });
      if (!is8N1At9600(options)) {
        throw new TypeError(`fake serial: opened with ${JSON.stringify(options)}; the radio speaks 9600 baud 8N1`);
      }
      await this.plugIn();
      this.isOpen = true;
      this.pending = [];
    }

    get readable() {
      if (!this.isOpen) return null;
      if (!this.reading) {
        const reading = {};
        reading.stream = new ReadableStream({
          start: (controller) => {
            reading.controller = controller;
            for (const bytes of this.pending.splice(0)) controller.enqueue(bytes);
          },
          cancel: () => {
            if (this.reading === reading) this.reading = null;
          },
        });
        this.reading = reading;
      }
      return this.reading.stream;
    }

    get writable() {
      if (!this.isOpen) return null;
      if (!this.writing) {
        const writing = {};
        const done = () => {
          if (this.writing === writing) this.writing = null;
        };
        writing.stream = new WritableStream({
          write: (chunk) => {
            if (!this.socket || this.socket.readyState !== WebSocket.OPEN) throw lost();
            const bytes = copy(chunk);
            fake.sent += bytes.length;
            this.socket.send(bytes);
          },
          close: done,
          abort: done,
        });
        this.writing = writing;
      }
      return this.writing.stream;
    }

    async close() {
      if (!this.isOpen) throw invalid('The port is already closed.');
      // As Chromium does: a stream the page still holds refuses (TypeError).
      await Promise.all([this.reading?.stream.cancel(), this.writing?.stream.abort()]);
      this.reading = this.writing = null;
      this.isOpen = false;
      this.pending = [];
    }

    async forget() {
      this.socket?.close();
      if (granted.includes(this)) granted.splice(granted.indexOf(this), 1);
    }
  }

  // Ports granted on an earlier load of this tab come back, as the browser
  // remembers them.
  const remembered = JSON.parse(sessionStorage.getItem(kStoreKey) ?? '[]');
  const granted = [...(config.granted ?? []), ...remembered].map((args) => new FakePort(args));
  const serial = new EventTarget();
  serial.getPorts = async () => [...granted];
  serial.requestPort = async () => {
    if (fake.next === null) throw new DOMException('No port selected by the user.', 'NotFoundError');
    const port = new FakePort(fake.next);
    granted.push(port);
    remembered.push(fake.next);
    sessionStorage.setItem(kStoreKey, JSON.stringify(remembered));
    return port;
  };
  fake.ports = granted;
  fake.plug = (args) => {
    const port = new FakePort(args);
    granted.push(port);
    // Chromium fires 'connect' at the port and it bubbles to navigator.serial.
    const event = new Event('connect');
    Object.defineProperty(event, 'target', { value: port });
    serial.dispatchEvent(event);
  };
  Object.defineProperty(navigator, 'serial', { value: serial, configurable: true });
  Object.defineProperty(window, 'orvexFakeSerial', { value: fake, configurable: true });
}
