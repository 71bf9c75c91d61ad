// The memory map: the 8 KiB image as 512 lines of 16 hexadecimal bytes, as
// the desktop's map shows it.  It edits the engine's working copy (each byte
// one step of the map's own undo, Ctrl+Z/Ctrl+Y); OK stores the copy as one
// undo step of the codeplug, Cancel or Escape drops it.  Texts, cell rules
// and names are the engine's.
import { byId, engine, session, text } from './engine';
import { Button } from './dialog';

const T = { title: 10480, address: 10481, value: 10482 };

interface MemoryMap {
  lines(): number;
  columns(): number;
  cell(line: number, column: number): string;
  value(line: number, column: number): number;
  set(line: number, column: number, text: string): void;
  undo(): boolean;
  redo(): boolean;
  apply(session: unknown): void;
  delete(): void;
}

const box = () => byId<HTMLDialogElement>('memory-map');
const grid = () => byId<HTMLTableElement>('memory-grid');
const addressBox = () => byId<HTMLInputElement>('memory-address');
let map: MemoryMap | null = null;
let line = 0;
let column = 0;
let rememberedAddress = '';
let closed: () => void = () => undefined;
const kPage = 16;

const cellAt = (l: number, c: number) => grid().tBodies[0].rows[l].cells[c + 1] as HTMLTableCellElement;
const editor = () => grid().querySelector<HTMLInputElement>('input');
const isHex = (key: string) => /^[0-9a-fA-F]$/.test(key);

function showCell(l: number, c: number): void {
  const cell = cellAt(l, c);
  cell.firstChild?.remove();
  cell.prepend(map!.cell(l, c));
  cell.setAttribute('aria-label', `${engine.MemoryMap.cellName(l, c)}, ${map!.cell(l, c)}`);
}

function showAll(): void {
  for (let l = 0; l < map!.lines(); ++l) for (let c = 0; c < map!.columns(); ++c) showCell(l, c);
  showCurrent();
}

function showCurrent(): void {
  addressBox().value = engine.MemoryMap.address(line, column);
  byId('memory-value').textContent = String(map!.value(line, column));
}

function goTo(l: number, c: number, focus = true): void {
  cellAt(line, column).tabIndex = -1;
  line = Math.max(0, Math.min(map!.lines() - 1, l));
  column = Math.max(0, Math.min(map!.columns() - 1, c));
  const cell = cellAt(line, column);
  cell.tabIndex = 0;
  if (focus) cell.focus();
  showCurrent();
}

function closeEditor(commit: boolean): void {
  const input = editor();
  if (!input) return;
  const [l, c] = [line, column];
  input.removeEventListener('blur', commitOnBlur);
  input.remove();
  if (commit) map!.set(l, c, input.value);
  showCell(l, c);
  showCurrent();
}

// Opens the byte's editor: by Enter (its text chosen) or by a typed digit.
function openEditor(digit = ''): void {
  if (editor()) return;
  const cell = cellAt(line, column);
  const input = document.createElement('input');
  input.maxLength = 2;
  input.setAttribute('aria-label', engine.MemoryMap.cellName(line, column));
  input.value = digit ? digit.toUpperCase() : map!.cell(line, column);
  cell.firstChild?.remove();
  cell.prepend(input);
  input.focus();
  if (!digit) input.select();
  input.addEventListener('keydown', editorKey);
  input.addEventListener('blur', commitOnBlur);
}

const commitOnBlur = () => closeEditor(true);

function editorKey(event: KeyboardEvent): void {
  event.stopPropagation();
  const input = event.target as HTMLInputElement;
  if (event.key === 'Enter') {
    event.preventDefault();
    closeEditor(true);
    if (column < map!.columns() - 1) goTo(line, column + 1);
    else goTo(line + 1, 0);
  } else if (event.key === 'Escape') {
    event.preventDefault();
    closeEditor(false);
    cellAt(line, column).focus();
  } else if (event.key === 'Tab') {
    event.preventDefault();
  } else if (event.key.length === 1 && !event.ctrlKey && !event.metaKey) {
    // Hexadecimal digits only, a..f typed as capitals.
    event.preventDefault();
    if (isHex(event.key) && (input.value.length < 2 || input.selectionStart !== input.selectionEnd)) {
      input.setRangeText(event.key.toUpperCase(), input.selectionStart ?? 0, input.selectionEnd ?? 0, 'end');
    }
  }
}

function gridKey(event: KeyboardEvent): void {
  if (editor()) return;
  const moves: Record<string, [number, number]> = {
    ArrowUp: [line - 1, column], ArrowDown: [line + 1, column], ArrowLeft: [line, column - 1], ArrowRight: [line, column + 1],
    PageUp: [line - kPage, column], PageDown: [line + kPage, column],
    Home: event.ctrlKey ? [0, 0] : [line, 0], End: event.ctrlKey ? [map!.lines() - 1, map!.columns() - 1] : [line, map!.columns() - 1],
  };
  const ctrl = event.ctrlKey || event.metaKey;
  if (moves[event.key]) goTo(...moves[event.key]);
  else if (event.key === 'Enter') openEditor();
  else if (isHex(event.key) && !ctrl && !event.altKey) openEditor(event.key);
  else if (ctrl && event.key.toLowerCase() === 'z') { if (map!.undo()) showAll(); }
  else if (ctrl && event.key.toLowerCase() === 'y') { if (map!.redo()) showAll(); }
  else return;
  event.preventDefault();
}

function jumpToAddress(): void {
  const address = engine.MemoryMap.normalizeAddress(addressBox().value) as string;
  addressBox().value = address;
  if (address === rememberedAddress) return;
  rememberedAddress = address;
  const value = parseInt(address, 16);
  goTo(Math.floor(value / map!.columns()), value % map!.columns());
  cellAt(line, column).scrollIntoView({ block: 'start' });
  openEditor();
}

function addressKey(event: KeyboardEvent): void {
  event.stopPropagation();
  if (event.key === 'Enter') {
    event.preventDefault();
    jumpToAddress();
  } else if (event.key === 'Escape') {
    event.preventDefault();
    addressBox().value = rememberedAddress;
    addressBox().select();
  } else if (event.key.length === 1 && !event.ctrlKey && !event.metaKey && !isHex(event.key)) {
    event.preventDefault();
  }
}

function build(): void {
  const table = grid();
  const head = document.createElement('tr');
  // The empty corner is no heading a screen reader should name.
  head.appendChild(document.createElement('th')).setAttribute('role', 'none');
  for (let c = 0; c < map!.columns(); ++c) {
    const th = document.createElement('th');
    th.scope = 'col';
    th.textContent = engine.MemoryMap.columnHeading(c);
    head.appendChild(th);
  }
  table.tHead!.replaceChildren(head);
  const rows: HTMLTableRowElement[] = [];
  for (let l = 0; l < map!.lines(); ++l) {
    const row = document.createElement('tr');
    const th = document.createElement('th');
    th.scope = 'row';
    th.textContent = engine.MemoryMap.lineLabel(l);
    row.appendChild(th);
    for (let c = 0; c < map!.columns(); ++c) {
      const td = document.createElement('td');
      td.setAttribute('role', 'gridcell');
      td.tabIndex = -1;
      td.dataset.line = String(l);
      td.dataset.column = String(c);
      row.appendChild(td);
    }
    rows.push(row);
  }
  table.tBodies[0].replaceChildren(...rows);
  showAll();
}

function finish(ok: boolean): void {
  if (!map) return;
  closeEditor(ok);
  if (ok) map.apply(session);
  map.delete();
  map = null;
  box().close();
  closed();
}

export function isMemoryMapOpen(): boolean {
  return map !== null;
}

// Opens the map on the codeplug as it is now; `onClose` runs once it shut.
export function openMemoryMap(onClose: () => void): void {
  if (map) return;
  map = new engine.MemoryMap(session) as MemoryMap;
  closed = onClose;
  line = 0;
  column = 0;
  byId('memory-title').textContent = text(T.title);
  byId('memory-address-label').textContent = text(T.address);
  byId('memory-value-label').textContent = text(T.value);
  byId('memory-ok').textContent = text(Button.ok);
  byId('memory-cancel').textContent = text(Button.cancel);
  build();
  rememberedAddress = addressBox().value;
  box().showModal();
  goTo(0, 0);
}

export function showMemoryMapTexts(): void {
  byId('memory-map-open').textContent = text(T.title);
}

export function wireMemoryMap(onClose: () => void): void {
  byId('memory-map-open').addEventListener('click', () => openMemoryMap(onClose));
  grid().addEventListener('keydown', gridKey);
  grid().addEventListener('click', (event) => {
    const cell = (event.target as HTMLElement).closest<HTMLTableCellElement>('td[data-line]');
    if (!cell || editor()) return;
    const [l, c] = [Number(cell.dataset.line), Number(cell.dataset.column)];
    if (l === line && c === column) openEditor();
    else goTo(l, c);
  });
  addressBox().addEventListener('keydown', addressKey);
  addressBox().addEventListener('focus', () => { rememberedAddress = addressBox().value; addressBox().select(); });
  addressBox().addEventListener('blur', () => { if (map) jumpToAddress(); });
  byId('memory-ok').addEventListener('click', () => finish(true));
  byId('memory-cancel').addEventListener('click', () => finish(false));
  box().addEventListener('cancel', (event) => {
    event.preventDefault();
    if (!editor()) finish(false);
  });
}
