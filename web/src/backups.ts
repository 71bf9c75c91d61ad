// Every Read kept as a backup in the browser's own storage (IndexedDB),
// listed in a panel with the desktop program's Backups columns, and opened
// or compared from there.  Names, rows, repeats and comparisons are the
// engine's; this file only stores and shows them.
import { byId, engine, raw, session, text } from './engine';
import { showComparison } from './compare';
import { mayReplace, openBytes, adopt } from './files';
import { home, refreshCells } from './grid';
import { say } from './status';

// `beforeWrite`: what the radio held before a Write, not a Read.
interface Backup { name: string; file: Uint8Array; model: string; port: string; beforeWrite?: boolean }

const T = {
  title: 1680, date: 1681, time: 1682, channels: 1683, same: 1684, yes: 1685, no: 1686, open: 1687, compare: 1688,
  close: 1689, none: 10169, radio: 1897, port: 1898, madeBy: 1899, notKept: 10453,
};
const kStore = 'backups';

function database(): Promise<IDBDatabase> {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open('orvex', 1);
    request.onupgradeneeded = () => request.result.createObjectStore(kStore, { keyPath: 'name' });
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

function done<T>(request: IDBRequest<T>): Promise<T> {
  return new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

// Newest first: the names sort by the moment of the Read.
async function list(): Promise<Backup[]> {
  const db = await database();
  const all = (await done(db.transaction(kStore).objectStore(kStore).getAll())) as Backup[];
  return all.sort((a, b) => (a.name < b.name ? 1 : a.name > b.name ? -1 : 0));
}

// Keeps the image a Read brought, unless the newest backup already holds it
// from the same port; only the newest the engine keeps stay.
export async function keep(image: Uint8Array, port: string, beforeWrite = false): Promise<void> {
  const kept = await list();
  const newest = kept[0];
  if (newest && engine.repeatsNewest(newest.name, newest.file, newest.port, newest.beforeWrite ?? false, image, port, beforeWrite)) return;
  const made = engine.backupOf(image, Date.now());
  if (!made.name) return;
  const db = await database();
  const store = db.transaction(kStore, 'readwrite').objectStore(kStore);
  await done(store.put({ name: made.name, file: made.file, model: made.model, port, beforeWrite } satisfies Backup));
  for (const old of [made as Backup, ...kept].slice(engine.backupsKept())) await done(store.delete(old.name));
}

// Keeps what the radio held before a Write: '' once it is kept, otherwise
// the reason the Write must not go on.
export function keepBeforeWrite(held: Uint8Array, port: string): Promise<string> {
  return keep(held, port, true).then(() => '', (error) => session.text(T.notKept, String(error)));
}

const panel = () => byId<HTMLElement>('backups-panel');
let shownBackups: Backup[] = [];
let chosen = 0;

function choose(index: number): void {
  const rows = panel().querySelectorAll<HTMLTableRowElement>('tbody tr');
  if (rows.length === 0) return;
  chosen = Math.min(Math.max(index, 0), rows.length - 1);
  rows.forEach((row, i) => {
    row.setAttribute('aria-selected', String(i === chosen));
    row.tabIndex = i === chosen ? 0 : -1;
  });
  rows[chosen].focus();
}

async function show(): Promise<void> {
  shownBackups = await list();
  const box = panel();
  box.setAttribute('aria-label', text(T.title));
  byId('backups-title').textContent = text(T.title);
  byId('backups-none').textContent = raw(T.none);
  byId('backups-none').hidden = shownBackups.length > 0;
  const head = box.querySelector('thead tr')!;
  head.replaceChildren(
    ...[T.date, T.time, T.channels, T.same, T.radio, T.port, T.madeBy].map((number) => {
      const th = document.createElement('th');
      th.textContent = text(number);
      return th;
    }),
  );
  const body = box.querySelector('tbody')!;
  body.replaceChildren(
    ...shownBackups.map((backup) => {
      const row = engine.backupRow(session, backup.name, backup.file, backup.beforeWrite ?? false);
      const tr = document.createElement('tr');
      for (const cell of [row.date, row.time, row.channels, text(row.same ? T.yes : T.no), backup.model, backup.port, row.reason]) {
        const td = document.createElement('td');
        td.textContent = cell;
        tr.appendChild(td);
      }
      tr.addEventListener('click', () => choose(tr.sectionRowIndex));
      tr.addEventListener('dblclick', () => void openChosen());
      return tr;
    }),
  );
  for (const [id, number] of [['backups-open', T.open], ['backups-compare', T.compare], ['backups-close', T.close]] as const) {
    const button = byId<HTMLButtonElement>(id);
    button.textContent = text(number);
    button.disabled = id !== 'backups-close' && shownBackups.length === 0;
  }
  box.hidden = false;
  choose(Math.min(chosen, shownBackups.length - 1));
  if (shownBackups.length === 0) byId('backups-close').focus();
}

async function openChosen(): Promise<void> {
  const backup = shownBackups[chosen];
  if (!backup || !(await mayReplace())) return;
  close();
  adopt(null);
  openBytes(backup.name, backup.file);
  home();
  refreshCells();
}

async function compareChosen(): Promise<void> {
  const backup = shownBackups[chosen];
  if (!backup) return;
  await showComparison(backup.name, backup.file);
}

function close(): void {
  panel().hidden = true;
  byId('backups').focus();
}

export function wireBackups(): void {
  window.addEventListener('orvex-read', (event) => {
    const { image, port } = (event as CustomEvent<{ image: Uint8Array; port: string }>).detail;
    keep(image, port)
      .then(() => (panel().hidden ? undefined : show()))
      .catch((error) => say(session.text(T.notKept, String(error))));
  });
  byId('backups').addEventListener('click', () => void (panel().hidden ? show() : close()));
  byId('backups-open').addEventListener('click', () => void openChosen());
  byId('backups-compare').addEventListener('click', () => void compareChosen());
  byId('backups-close').addEventListener('click', close);
  panel().addEventListener('keydown', (event) => {
    const moves: Record<string, number> = { ArrowUp: -1, ArrowDown: 1, Home: -1e9, End: 1e9 };
    if (event.key in moves && (event.target as HTMLElement).tagName === 'TR') choose(chosen + moves[event.key]);
    else if (event.key === 'Enter' && (event.target as HTMLElement).tagName === 'TR') void openChosen();
    else if (event.key === 'Escape') close();
    else return;
    event.preventDefault();
  });
}

export function showBackupTexts(): void {
  byId('backups').textContent = text(T.title) + '...';
  if (!panel().hidden) void show();
}
