// Bundles the page into ../build-web/site (or the folder given) next to the
// engine module, which tools/web.sh copies there.
import * as esbuild from 'esbuild';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { buildWorker } from './worker_build.mjs';

const out = path.resolve(process.argv[2] ?? '../build-web/site');
fs.mkdirSync(out, { recursive: true });
await esbuild.build({
  entryPoints: ['src/main.ts'],
  bundle: true,
  format: 'esm',
  target: 'es2022',
  minify: true,
  sourcemap: true,
  outfile: path.join(out, 'main.js'),
});
for (const file of ['index.html', 'style.css']) fs.copyFileSync(file, path.join(out, file));
// Installable: the manifest and its icons, drawn from the desktop program's
// SVG (rsvg-convert, which tools/web.sh installs).
fs.copyFileSync('manifest.webmanifest', path.join(out, 'manifest.webmanifest'));
fs.copyFileSync('../resources/ui/orvex.svg', path.join(out, 'orvex.svg'));
// The Key Assignment window's picture of the radio.
fs.copyFileSync('../resources/ui/key/radio.svg', path.join(out, 'radio.svg'));
for (const size of [192, 512]) {
  execFileSync('rsvg-convert', ['-w', String(size), '-h', String(size), '-o', path.join(out, `icon-${size}.png`), '../resources/ui/orvex.svg']);
}
// Last, as its cache list is the folder as it now stands.
await buildWorker(out);
