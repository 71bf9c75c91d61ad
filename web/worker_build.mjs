// Builds the service worker into a finished site folder: its cache list is
// every file the folder serves (but the worker and source maps), and its
// version a hash of their names and contents, so any change to the site
// makes a new worker.  Run last, after everything else is in the folder.
import * as esbuild from 'esbuild';
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const kWorker = 'service_worker.js';
const here = path.dirname(fileURLToPath(import.meta.url));

function siteFiles(dir, prefix = '') {
  return fs.readdirSync(path.join(dir, prefix), { withFileTypes: true }).flatMap((entry) => {
    const name = prefix ? `${prefix}/${entry.name}` : entry.name;
    if (entry.isDirectory()) return siteFiles(dir, name);
    return name === kWorker || name === `${kWorker}.map` || name.endsWith('.map') ? [] : [name];
  }).sort();
}

export async function buildWorker(site) {
  const files = siteFiles(site);
  const hash = crypto.createHash('sha256');
  for (const file of files) hash.update(file).update('\0').update(fs.readFileSync(path.join(site, file)));
  const version = hash.digest('hex').slice(0, 16);
  await esbuild.build({
    entryPoints: [path.join(here, 'src/service_worker.ts')],
    bundle: true,
    format: 'iife',
    target: 'es2022',
    minify: true,
    define: { ORVEX_SITE_FILES: JSON.stringify(files), ORVEX_SITE_VERSION: JSON.stringify(version) },
    outfile: path.join(site, kWorker),
  });
  return { files, version };
}
