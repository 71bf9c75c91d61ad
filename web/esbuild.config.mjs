// Bundles the page into ../build-web/site (or the folder given) next to the
// engine module, which tools/web.sh copies there.
import * as esbuild from 'esbuild';
import fs from 'node:fs';
import path from 'node:path';

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
