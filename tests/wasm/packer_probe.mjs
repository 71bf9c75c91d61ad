// Loads the em++ build of packer_probe.cpp in node and packs an unprogrammed
// codeplug through it: the engine runs as WebAssembly.
//   node tests/wasm/packer_probe.mjs BUILD_DIR/tests/wasm/packer_probe.js
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';

const script = resolve(process.argv[2]);
const createProbe = createRequire(import.meta.url)(script);
// em++ 3.1.6's loader cannot fetch the .wasm by URL under node 20: it is
// handed the bytes.
const probe = await createProbe({ wasmBinary: readFileSync(script.replace(/\.js$/, '.wasm')) });

const size = 8208;  // an unpacked .tw image
const input = probe._malloc(size);
probe.HEAPU8.fill(0xff, input, input + size);
probe.HEAPU8.fill(0x00, input, input + 16);
const packed = probe._orvex_packed_size(input, size);
probe._free(input);
if (!(packed > 0 && packed < size)) {
  console.error(`packing ${size} bytes in WebAssembly gave ${packed}`);
  process.exit(1);
}
console.log(`packed ${size} bytes to ${packed} in WebAssembly`);
