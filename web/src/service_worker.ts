// The page's service worker: after one visit the page, the engine module and
// everything they load come from this cache, so the page opens and works
// with no network.  The build writes the file list and a version taken from
// their contents into this script, so a changed site is a changed worker,
// which waits until the page's user asks for it (never in the middle of
// work).
import { kTakeOver } from './worker_messages';

// The few parts of the worker's scope used here (the page's DOM types are
// in scope for the whole folder, the worker's are not).
interface LastingEvent extends Event { waitUntil(promise: Promise<unknown>): void }
interface FetchingEvent extends LastingEvent { request: Request; respondWith(response: Promise<Response>): void }
interface WorkerScope {
  location: Location;
  clients: { claim(): Promise<void> };
  skipWaiting(): Promise<void>;
  addEventListener(type: 'install' | 'activate', listener: (event: LastingEvent) => void): void;
  addEventListener(type: 'fetch', listener: (event: FetchingEvent) => void): void;
  addEventListener(type: 'message', listener: (event: MessageEvent) => void): void;
}
const worker = self as unknown as WorkerScope;
// Set by web/worker_build.mjs: the site's files, relative to this script.
declare const ORVEX_SITE_FILES: string[];
declare const ORVEX_SITE_VERSION: string;

// Caches are shared by the whole origin: the name carries the site's folder,
// so two sites in two folders do not clear each other's.
const kPrefix = `orvex ${new URL('./', worker.location.href).pathname} `;
const kCache = kPrefix + ORVEX_SITE_VERSION;

// Folder URLs ("./", ".../") are the folder's index.html.
function cacheKey(url: URL): string {
  return url.pathname.endsWith('/') ? new URL('index.html', url).href : url.href;
}

worker.addEventListener('install', (event) => {
  // Straight from the server, past the browser's HTTP cache, so the files
  // are the ones this version names.
  const requests = ORVEX_SITE_FILES.map((file) => new Request(new URL(file, worker.location.href), { cache: 'reload' }));
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(requests)));
});

worker.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    const names = await caches.keys();
    await Promise.all(names.filter((name) => name.startsWith(kPrefix) && name !== kCache).map((name) => caches.delete(name)));
    // The first visit's page is served from here at once, so it works
    // offline without a second load.
    await worker.clients.claim();
  })());
});

worker.addEventListener('message', (event) => {
  if (event.data === kTakeOver) void worker.skipWaiting();
});

// Cache first; what the cache lacks (a source map, another origin) goes to
// the network as it would without a worker.
worker.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== worker.location.origin) return;
  event.respondWith((async () => {
    const cached = await caches.match(cacheKey(url), { cacheName: kCache, ignoreSearch: true });
    return cached ?? fetch(event.request);
  })());
});
