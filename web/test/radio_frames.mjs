// The frames the desktop program sends the radio, written by hand, and one
// exchange over a port; shared by the virtual radio's checks in node and in
// Chromium.

// One byte on the 9600 baud 8N1 wire.
export const kByteMs = 10_000 / 9600;
export const greeting = [...new TextEncoder().encode('HiKRT 20')];
export const identify = [0x02];
export const acknowledge = [0x06];
export const ident = (model) => [0x06, ...new TextEncoder().encode(model), 0x00, 0x01];
export const readRow = (row) => [0x52, (row * 16) >> 8, (row * 16) & 0xff, 0x40];

// Sends a frame and collects `length` reply bytes (fewer when none come
// within `limit` ms); `ms` is when the last of them arrived and `floor`
// when it could have at the earliest.
export async function exchange(port, frame, length, limit = 300) {
  const reader = port.readable.getReader();
  const writer = port.writable.getWriter();
  const start = performance.now();
  await writer.write(new Uint8Array(frame));
  writer.releaseLock();
  const bytes = [];
  const timeout = new Promise((resolve) => setTimeout(() => resolve({ done: true }), limit));
  while (bytes.length < length) {
    const { value, done } = await Promise.race([reader.read(), timeout]);
    if (done) break;
    bytes.push(...value);
  }
  const ms = performance.now() - start;
  reader.releaseLock();
  return { bytes, ms, floor: (frame.length + length) * kByteMs };
}
