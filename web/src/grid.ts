// The channel grid: an ARIA grid of the engine's cell texts, typed on as
// the desktop grid is.  Keys, texts and moves come from the engine.
import { type EditStart, byId, session } from './engine';
import { say } from './status';

const grid = byId<HTMLTableElement>('grid');
let current = { row: 1, column: 1 };
let editing: { start: EditStart; control: HTMLInputElement | HTMLSelectElement } | null = null;
// Told after every change the grid shows (title, undo and redo names).
let changed: () => void = () => {};

export function onGridChange(listener: () => void): void {
  changed = listener;
}

export function isEditing(): boolean {
  return editing !== null;
}

export function currentCell(): { row: number; column: number } {
  return { ...current };
}

// Makes a cell current, as a click does.
export function goTo(row: number, column: number): void {
  moveTo(row, column);
}

// Back to the first channel, as after New or Open.
export function home(): void {
  current = { row: 1, column: 1 };
}

function cellOf(row: number, column: number): HTMLTableCellElement | undefined {
  return grid.rows[row]?.cells[column];
}

export function buildGrid(): void {
  byId('caption').textContent = session.caption();
  grid.replaceChildren();
  // Hidden columns are left out of the counts a screen reader speaks.
  let shown = 0;
  grid.setAttribute('aria-rowcount', String(session.rowCount()));
  for (let row = 0; row < session.rowCount(); ++row) {
    const tr = grid.insertRow();
    tr.setAttribute('role', 'row');
    tr.setAttribute('aria-rowindex', String(row + 1));
    shown = 0;
    for (let column = 0; column < session.columnCount(); ++column) {
      const cell = document.createElement(row === 0 || column === 0 ? 'th' : 'td');
      cell.setAttribute('role', row === 0 ? 'columnheader' : column === 0 ? 'rowheader' : 'gridcell');
      if (session.hidden(column)) cell.hidden = true;
      else cell.setAttribute('aria-colindex', String(++shown));
      cell.tabIndex = -1;
      cell.dataset.row = String(row);
      cell.dataset.column = String(column);
      tr.appendChild(cell);
    }
  }
  grid.setAttribute('aria-colcount', String(shown));
  refreshCells();
}

export function refreshCells(): void {
  for (let row = 0; row < session.rowCount(); ++row) {
    for (let column = 0; column < session.columnCount(); ++column) {
      const cell = cellOf(row, column)!;
      cell.textContent = session.cell(row, column);
      if (row > 0 && column > 0) {
        cell.classList.toggle('greyed', session.greyed(row, column));
        cell.setAttribute('aria-label', session.spokenText(row, column));
      }
    }
  }
  moveTo(current.row, current.column);
  changed();
}

function moveTo(row: number, column: number): void {
  for (const old of grid.querySelectorAll<HTMLElement>('.current')) {
    old.classList.remove('current');
    old.removeAttribute('aria-selected');
    old.tabIndex = -1;
  }
  current = { row, column };
  const cell = cellOf(row, column);
  if (!cell) return;
  cell.classList.add('current');
  cell.setAttribute('aria-selected', 'true');
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
  control.setAttribute('aria-label', session.cellName(start.row, start.column));
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
    say(done.note);
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
        say(accepted === '' ? session.refusedKeyNote(event.key) : '');
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
