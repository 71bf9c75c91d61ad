// The service worker that keeps the page for use offline, and the line that
// offers a new version once its worker waits.  The page is reloaded only on
// the user's click, never during a transfer, and only after unsaved edits
// were saved or dropped.
import { byId, text } from './engine';
import { mayReplace } from './files';
import { kTakeOver } from './worker_messages';

const T = { ready: 10470, reload: 10471 };
const kHourMs = 60 * 60 * 1000;

let waiting: ServiceWorker | null = null;
let reloading = false;

// True once the user chose to reload for the new version: the page has
// asked about unsaved edits already.
export const isReloading = () => reloading;

export function showUpdateTexts(): void {
  byId('update-text').textContent = text(T.ready);
  byId('update-reload').textContent = text(T.reload);
}

function offer(worker: ServiceWorker): void {
  waiting = worker;
  byId('update').hidden = false;
}

// A worker that finished installing while another controls the page is a
// new version.
function watch(registration: ServiceWorkerRegistration): void {
  if (registration.waiting && navigator.serviceWorker.controller) offer(registration.waiting);
  registration.addEventListener('updatefound', () => {
    const installing = registration.installing;
    installing?.addEventListener('statechange', () => {
      if (installing.state === 'installed' && navigator.serviceWorker.controller) offer(installing);
    });
  });
}

async function reload(): Promise<void> {
  if (!waiting || document.body.dataset.transfer === 'running' || !(await mayReplace())) return;
  reloading = true;
  // Taken over already at another tab's Reload: this tab only loads again.
  if (waiting.state === 'activated') {
    location.reload();
    return;
  }
  navigator.serviceWorker.addEventListener('controllerchange', () => location.reload());
  waiting.postMessage(kTakeOver);
}

export async function keepOffline(): Promise<void> {
  if (!('serviceWorker' in navigator)) return;
  const button = byId<HTMLButtonElement>('update-reload');
  button.addEventListener('click', () => void reload());
  // Not during a transfer: the button says so by being unavailable.
  new MutationObserver(() => { button.disabled = document.body.dataset.transfer === 'running'; })
    .observe(document.body, { attributes: true, attributeFilter: ['data-transfer'] });
  try {
    const registration = await navigator.serviceWorker.register('./service_worker.js');
    watch(registration);
    // Browsers look for a new worker on each load; a page left open asks too.
    setInterval(() => void registration.update().catch(() => undefined), kHourMs);
  } catch {
    // No worker (a private window, a file: URL): the page works online.
  }
}
