// The browser face of ORVEX: moves texts and keys between the page and the
// engine module; every rule, text and codec is the engine's.

interface EditStart { kind: 'none' | 'text' | 'list'; row: number; column: number; text: string; maxLength: number; items: string[] }
interface Commit { accepted: boolean; note: string; row: number; column: number }
interface Session {
  newCodeplug(): void;
  open(name: string, bytes: Uint8Array): string;
  save(name: string): Uint8Array<ArrayBuffer>;
  documentName(): string;
  title(): string;
  text(number: number, arg: string): string;
  modified(): boolean;
  undoName(): string;
  redoName(): string;
  undo(): boolean;
  redo(): boolean;
  language(): number;
  setLanguage(language: number): void;
  caption(): string;
  rowCount(): number;
  columnCount(): number;
  hidden(column: number): boolean;
  cell(row: number, column: number): string;
  greyed(row: number, column: number): boolean;
  begin(row: number, column: number, typed: string): EditStart;
  accept(key: string): string;
  commit(text: string): Commit;
  rowName(row: number): string;
  refusedKeyNote(typed: string): string;
}
interface FileHandle { name: string; getFile(): Promise<File>; createWritable(): Promise<{ write(data: Uint8Array): Promise<void>; close(): Promise<void> }> }
type PickerWindow = Window & {
  showOpenFilePicker?: (options: object) => Promise<FileHandle[]>;
};

// String-table numbers of the texts the page shows.
const T = {
  new: 1031, open: 1032, save: 1033, language: 1022, english: 1181, chinese: 1182,
  undo: 1620, redo: 1621, modified: 10000, cleared: 10002,
};
const kLanguageKey = 'orvex.language';
const kTw = { description: 'tw Files', accept: { 'application/octet-stream': ['.tw'] } };

const byId = <E extends HTMLElement>(id: string) => document.getElementById(id) as E;
const grid = byId<HTMLTableElement>('grid');
const status = byId<HTMLParagraphElement>('status');

let session: Session;
let current = { row: 1, column: 1 };
let editing: { start: EditStart; control: HTMLInputElement | HTMLSelectElement } | null = null;
let handle: FileHandle | null = null;

// Menu texts carry their keyboard accelerators ("&Undo %1", "新建(&N)").
function plain(text: string): string {
  return text.replace(/\(&.\)/g, '').replace(/&(.)/g, '$1').replace(/\.\.\.$/, '').trim();
}
const text = (number: number, arg = '') => plain(session.text(number, arg));

function showTexts(): void {
  byId('new').textContent = text(T.new);
  byId('open').textContent = text(T.open) + '...';
  byId('save').textContent = text(T.save);
  byId('language-label').textContent = text(T.language);
  const options = byId<HTMLSelectElement>('language').options;
  options[0].textContent = text(T.english);
  options[1].textContent = text(T.chinese);
  byId<HTMLSelectElement>('language').value = String(session.language());
  document.documentElement.lang = session.language() === 1 ? 'zh' : 'en';
  showState();
}

function showState(): void {
  document.title = session.title();
  const undo = byId<HTMLButtonElement>('undo');
  const redo = byId<HTMLButtonElement>('redo');
  undo.textContent = text(T.undo, session.undoName());
  redo.textContent = text(T.redo, session.redoName());
  undo.disabled = session.undoName() === '';
  redo.disabled = session.redoName() === '';
}

function cellOf(row: number, column: number): HTMLTableCellElement | undefined {
  return grid.rows[row]?.cells[column];
}

function cellName(row: number, column: number): string {
  return `${session.rowName(row)}, ${session.cell(0, column)}, ${session.cell(row, column)}`;
}

function buildGrid(): void {
  byId('caption').textContent = session.caption();
  grid.replaceChildren();
  for (let row = 0; row < session.rowCount(); ++row) {
    const tr = grid.insertRow();
    tr.setAttribute('role', 'row');
    for (let column = 0; column < session.columnCount(); ++column) {
      const cell = document.createElement(row === 0 || column === 0 ? 'th' : 'td');
      cell.setAttribute('role', row === 0 ? 'columnheader' : column === 0 ? 'rowheader' : 'gridcell');
      if (session.hidden(column)) cell.hidden = true;
      cell.dataset.row = String(row);
      cell.dataset.column = String(column);
      tr.appendChild(cell);
    }
  }
  refreshCells();
}

function refreshCells(): void {
  for (let row = 0; row < session.rowCount(); ++row) {
    for (let column = 0; column < session.columnCount(); ++column) {
      const cell = cellOf(row, column)!;
      cell.textContent = session.cell(row, column);
      if (row > 0 && column > 0) {
        cell.classList.toggle('greyed', session.greyed(row, column));
        cell.setAttribute('aria-label', cellName(row, column));
      }
    }
  }
  moveTo(current.row, current.column);
  showState();
}

function moveTo(row: number, column: number): void {
  for (const old of grid.querySelectorAll('.current')) old.classList.remove('current');
  current = { row, column };
  const cell = cellOf(row, column);
  if (!cell) return;
  cell.classList.add('current');
  cell.tabIndex = 0;
  if (!editing) cell.focus({ preventScroll: false });
}

function visibleColumn(from: number, step: number): number {
  let column = from + step;
  while (column > 0 && column < session.columnCount() && session.hidden(column)) column += step;
  return column > 0 && column < session.columnCount() ? column : from;
}

function beginEdit(typed: string): void {
  const start = session.begin(current.row, current.column, typed);
  if (start.kind === 'none') return;
  moveTo(start.row, start.column);
  const cell = cellOf(start.row, start.column)!;
  let control: HTMLInputElement | HTMLSelectElement;
  if (start.kind === 'list') {
    const select = document.createElement('select');
    for (const item of start.items) select.add(new Option(item, item));
    select.value = start.text;
    control = select;
  } else {
    const input = document.createElement('input');
    input.value = start.text;
    if (start.maxLength > 0) input.maxLength = start.maxLength;
    control = input;
  }
  control.setAttribute('aria-label', cellName(start.row, start.column));
  editing = { start, control };
  cell.replaceChildren(control);
  control.focus();
  if (control instanceof HTMLInputElement) {
    if (typed === '') control.select();
    else control.setSelectionRange(control.value.length, control.value.length);
  }
}

// Enter commits and moves on as the engine says; a key that leaves the
// editor (or a click elsewhere) commits and stays on the edited cell, from
// where the key then moves.
function endEdit(commit: boolean, moveOn = true): void {
  if (!editing) return;
  const { start, control } = editing;
  editing = null;
  if (commit) {
    const done = session.commit(control.value);
    status.textContent = done.note;
    current = moveOn ? { row: done.row, column: done.column } : { row: start.row, column: start.column };
  }
  refreshCells();
}

// The grid's own moves: arrows and pages, Tab walking the cells round.
function gridMove(key: string, shift: boolean): boolean {
  const moves: Record<string, [number, number]> = {
    ArrowUp: [-1, 0], ArrowDown: [1, 0], ArrowLeft: [0, -1], ArrowRight: [0, 1], PageUp: [-16, 0], PageDown: [16, 0],
  };
  const last = session.rowCount() - 1;
  if (key === 'Tab') {
    const step = shift ? -1 : 1;
    const column = visibleColumn(current.column, step);
    if (column !== current.column) moveTo(current.row, column);
    else {
      const row = ((current.row - 1 + step + last) % last) + 1;
      moveTo(row, visibleColumn(shift ? session.columnCount() : 0, step));
    }
    return true;
  }
  if (!(key in moves)) return false;
  const [rows, columns] = moves[key];
  const row = Math.min(Math.max(current.row + rows, 1), last);
  moveTo(row, columns === 0 ? current.column : visibleColumn(current.column, columns));
  return true;
}

// Tab always leaves an editor; the arrows only where the editor does not
// need them (up and down along a list, left and right in a text box).
function leavesEditor(key: string, text: boolean): boolean {
  if (key === 'Tab') return true;
  if (key === 'ArrowUp' || key === 'ArrowDown') return text;
  if (key === 'ArrowLeft' || key === 'ArrowRight') return !text;
  return false;
}

grid.addEventListener('keydown', (event) => {
  if (editing) {
    const text = editing.control instanceof HTMLInputElement;
    if (event.key === 'Enter') endEdit(true);
    else if (event.key === 'Escape') endEdit(false);
    else if (leavesEditor(event.key, text)) {
      endEdit(true, false);
      gridMove(event.key, event.shiftKey);
    } else if (text && event.key.length === 1 && !event.ctrlKey && !event.metaKey) {
      // The editor's own filter: refused keys are dropped, letters turned.
      const input = editing.control as HTMLInputElement;
      const accepted = session.accept(event.key);
      if (accepted !== event.key) {
        event.preventDefault();
        status.textContent = accepted === '' ? session.refusedKeyNote(event.key) : '';
        if (accepted !== '') input.setRangeText(accepted, input.selectionStart ?? 0, input.selectionEnd ?? 0, 'end');
      }
      return;
    } else return;
    event.preventDefault();
    return;
  }
  if (gridMove(event.key, event.shiftKey)) {
    // moved
  } else if (event.key === 'Enter' || event.key === 'F2') beginEdit('');
  else if (event.key.length === 1 && !event.ctrlKey && !event.metaKey && !event.altKey) beginEdit(event.key);
  else return;
  event.preventDefault();
});
grid.addEventListener('focusout', (event) => {
  if (editing && event.target === editing.control) endEdit(true, false);
});

grid.addEventListener('click', (event) => {
  const cell = (event.target as HTMLElement).closest('td');
  if (!cell || editing) return;
  moveTo(Number(cell.dataset.row), Number(cell.dataset.column));
});
grid.addEventListener('dblclick', () => { if (!editing) beginEdit(''); });

document.addEventListener('keydown', (event) => {
  if (!(event.ctrlKey || event.metaKey) || editing) return;
  const key = event.key.toLowerCase();
  if (key === 'z') session.undo();
  else if (key === 'y') session.redo();
  else if (key === 's') void save();
  else return;
  event.preventDefault();
  refreshCells();
});

// Unsaved edits are not replaced without asking: OK saves them first,
// Cancel stays.  (A Yes/No/Cancel box of the page's own is still to come.)
async function mayReplace(): Promise<boolean> {
  if (!session.modified()) return true;
  if (!confirm(session.text(T.modified, ''))) return false;
  await save();
  return true;
}

async function newCodeplug(): Promise<void> {
  if (!(await mayReplace()) || !confirm(session.text(T.cleared, ''))) return;
  session.newCodeplug();
  handle = null;
  current = { row: 1, column: 1 };
  refreshCells();
}

function openBytes(name: string, bytes: Uint8Array): void {
  const refusal = session.open(name, bytes);
  status.textContent = refusal;
  if (refusal !== '') return;
  current = { row: 1, column: 1 };
  refreshCells();
}

async function open(): Promise<void> {
  if (!(await mayReplace())) return;
  const picker = (window as PickerWindow).showOpenFilePicker;
  if (!picker) {
    byId<HTMLInputElement>('file').click();
    return;
  }
  try {
    const [picked] = await picker({ types: [kTw] });
    openBytes(picked.name, new Uint8Array(await (await picked.getFile()).arrayBuffer()));
    handle = picked;
  } catch {
    // The chooser was cancelled.
  }
}

async function save(): Promise<void> {
  const name = session.documentName();
  const bytes = session.save(name);
  if (handle && 'createWritable' in handle) {
    const writable = await handle.createWritable();
    await writable.write(bytes);
    await writable.close();
  } else {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
  }
  showState();
}

byId<HTMLInputElement>('file').addEventListener('change', async (event) => {
  const input = event.target as HTMLInputElement;
  const file = input.files?.[0];
  input.value = '';
  if (!file) return;
  handle = null;
  openBytes(file.name, new Uint8Array(await file.arrayBuffer()));
});
byId('new').addEventListener('click', () => void newCodeplug());
byId('open').addEventListener('click', () => void open());
byId('save').addEventListener('click', () => void save());
byId('undo').addEventListener('click', () => { session.undo(); refreshCells(); });
byId('redo').addEventListener('click', () => { session.redo(); refreshCells(); });
byId<HTMLSelectElement>('language').addEventListener('change', (event) => {
  const language = Number((event.target as HTMLSelectElement).value);
  localStorage.setItem(kLanguageKey, String(language));
  session.setLanguage(language);
  showTexts();
  buildGrid();
});
window.addEventListener('beforeunload', (event) => {
  if (session?.modified()) event.preventDefault();
});

async function start(): Promise<void> {
  // The module sits next to this script; relative URLs only, so any static
  // host can serve the site from any folder.
  const moduleUrl = new URL('./orvex_web.js', import.meta.url).href;
  const { default: OrvexEngine } = await import(/* webpackIgnore: true */ moduleUrl);
  const engine = await OrvexEngine({ locateFile: (file: string) => new URL(file, import.meta.url).href });
  session = new engine.Session() as Session;
  session.setLanguage(Number(localStorage.getItem(kLanguageKey) ?? 0) === 1 ? 1 : 0);
  showTexts();
  buildGrid();
  document.body.dataset.ready = 'true';
}

void start();
