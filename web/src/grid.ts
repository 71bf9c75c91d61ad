// The page's editing grids: ARIA grids of an engine cell table's texts,
// typed on as the desktop grid is.  Keys, texts and moves come from the
// engine; one implementation serves the channel grid and every signalling
// grid, each through its own GridSource.
import { type EditStart, type Session, byId, session } from './engine';
import { say } from './status';

// Where the keys of grids differ, as the engine's table says.
export interface GridKeys {
  f2Opens: boolean;
  arrowsLeaveEditor: boolean;
  tabLeavesAtEnds: boolean;
  backspaceEmptiesList: boolean;
  escapeKeepsText: boolean;
}

// What a grid asks its engine table: what the session answers for the
// channel grid, and the keys where grids differ.
export interface GridSource
  extends Pick<Session, 'rowCount' | 'columnCount' | 'hidden' | 'cell' | 'greyed' | 'begin' | 'accept' | 'commit' | 'spokenText' | 'cellName' | 'refusedKeyNote'> {
  enterOpensEditor(row: number, column: number): boolean;
  nextOnEnter(row: number, column: number): { row: number; column: number };
  keys: GridKeys;
  // A click opens the cell's editor rather than only making it current.
  clickEdits: boolean;
  // Relative widths of the columns (the row headings' first), where the
  // desktop shares a grid's width out so; otherwise each fits its texts.
  columnShares?: () => number[];
}

// Room a heading needs beside its text, as on the desktop.
const kHeadingPadding = 16; // px
let measure: CanvasRenderingContext2D | null = null;

// The width of `text` in `element`'s font, also while the element is not
// shown (a closed window's grid is built before it opens).
function textWidth(element: HTMLElement, text: string): number {
  measure ??= document.createElement('canvas').getContext('2d');
  if (!measure) return 0;
  const style = getComputedStyle(element);
  measure.font = `${style.fontWeight} ${style.fontSize} ${style.fontFamily}`;
  return measure.measureText(text).width;
}

// Told after every change a grid shows (title, undo and redo names).
let changed: () => void = () => {};
const grids: EditingGrid[] = [];

export function onGridChange(listener: () => void): void {
  changed = listener;
}

// Something beside the grids changed the image (a window's list or switch).
export function tellChanged(): void {
  changed();
}

// Tab always leaves an editor; the arrows only where the grid says so and
// the editor does not need them (up and down along a list, left and right in
// a text box).
function leavesEditor(key: string, text: boolean, arrows: boolean): boolean {
  if (key === 'Tab') return true;
  if (!arrows) return false;
  if (key === 'ArrowUp' || key === 'ArrowDown') return text;
  if (key === 'ArrowLeft' || key === 'ArrowRight') return !text;
  return false;
}

export class EditingGrid {
  current = { row: 1, column: 1 };
  editing: { start: EditStart; control: HTMLInputElement | HTMLSelectElement } | null = null;

  constructor(
    readonly table: HTMLTableElement,
    private readonly source: GridSource,
  ) {
    grids.push(this);
    table.addEventListener('keydown', (event) => this.onKey(event));
    table.addEventListener('focusout', (event) => {
      if (this.editing && event.target === this.editing.control) this.endEdit(true, false);
    });
    table.addEventListener('click', (event) => {
      const cell = (event.target as HTMLElement).closest('td');
      if (!cell || this.editing) return;
      this.moveTo(Number(cell.dataset.row), Number(cell.dataset.column));
      if (source.clickEdits) this.beginEdit('');
    });
    table.addEventListener('dblclick', () => {
      if (!this.editing) this.beginEdit('');
    });
  }

  // Drops the grid from those refreshCells() reaches (its window closed).
  remove(): void {
    grids.splice(grids.indexOf(this), 1);
  }

  cellOf(row: number, column: number): HTMLTableCellElement | undefined {
    return this.table.rows[row]?.cells[column];
  }

  build(): void {
    const { source, table } = this;
    table.replaceChildren();
    // Hidden columns are left out of the counts a screen reader speaks.
    let shown = 0;
    table.setAttribute('aria-rowcount', String(source.rowCount()));
    for (let row = 0; row < source.rowCount(); ++row) {
      const tr = table.insertRow();
      tr.setAttribute('role', 'row');
      tr.setAttribute('aria-rowindex', String(row + 1));
      shown = 0;
      for (let column = 0; column < source.columnCount(); ++column) {
        const cell = document.createElement(row === 0 || column === 0 ? 'th' : 'td');
        cell.setAttribute('role', row === 0 ? 'columnheader' : column === 0 ? 'rowheader' : 'gridcell');
        if (source.hidden(column)) cell.hidden = true;
        else cell.setAttribute('aria-colindex', String(++shown));
        // An empty corner is no heading a screen reader should name.
        if (row === 0 && column === 0 && source.cell(0, 0) === '') cell.setAttribute('role', 'none');
        else cell.tabIndex = -1;
        cell.dataset.row = String(row);
        cell.dataset.column = String(column);
        tr.appendChild(cell);
      }
    }
    table.setAttribute('aria-colcount', String(shown));
    this.refresh();
    if (source.columnShares) this.shareWidth(source.columnShares());
  }

  // Columns at the desktop's proportions, the grid wide enough for every
  // heading at its share.
  private shareWidth(shares: number[]): void {
    const headings = [...(this.table.rows[0]?.cells ?? [])];
    const sum = shares.reduce((a, b) => a + b, 0);
    if (sum <= 0 || shares.length !== headings.length) return;
    const width = Math.max(...headings.map((th, c) =>
      Math.ceil(((textWidth(th, th.textContent ?? '') + kHeadingPadding) * sum) / Math.max(1, shares[c]))));
    this.table.style.width = `${width}px`;
    this.table.classList.add('shared-widths');
    headings.forEach((th, c) => { th.style.width = `${(width * shares[c]) / sum}px`; });
  }

  refresh(): void {
    const { source } = this;
    for (let row = 0; row < source.rowCount(); ++row) {
      for (let column = 0; column < source.columnCount(); ++column) {
        const cell = this.cellOf(row, column)!;
        cell.textContent = source.cell(row, column);
        if (row > 0 && column > 0) {
          cell.classList.toggle('greyed', source.greyed(row, column));
          cell.setAttribute('aria-label', source.spokenText(row, column));
        }
      }
    }
    this.moveTo(this.current.row, this.current.column);
    changed();
  }

  moveTo(row: number, column: number): void {
    for (const old of this.table.querySelectorAll<HTMLElement>('.current')) {
      old.classList.remove('current');
      old.removeAttribute('aria-selected');
      old.tabIndex = -1;
    }
    this.current = { row, column };
    const cell = this.cellOf(row, column);
    if (!cell) return;
    cell.classList.add('current');
    cell.setAttribute('aria-selected', 'true');
    cell.tabIndex = 0;
    // The focus stays in another grid or window the user is working in.
    const other = document.activeElement?.closest('[role=grid], [role=region]');
    if (!this.editing && (!other || other === this.table)) cell.focus({ preventScroll: false });
  }

  private visibleColumn(from: number, step: number): number {
    const count = this.source.columnCount();
    let column = from + step;
    while (column > 0 && column < count && this.source.hidden(column)) column += step;
    return column > 0 && column < count ? column : from;
  }

  private beginEdit(typed: string): void {
    const start = this.source.begin(this.current.row, this.current.column, typed);
    if (start.kind === 'none') return;
    this.moveTo(start.row, start.column);
    const cell = this.cellOf(start.row, start.column)!;
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
    control.setAttribute('aria-label', this.source.cellName(start.row, start.column));
    this.editing = { start, control };
    cell.replaceChildren(control);
    control.focus();
    if (control instanceof HTMLInputElement) {
      if (start.selectAll) control.select();
      else control.setSelectionRange(control.value.length, control.value.length);
    }
  }

  // Enter commits and moves on as the engine says; a key that leaves the
  // editor (or a click elsewhere) commits and stays on the edited cell, from
  // where the key then moves.
  private endEdit(commit: boolean, moveOn = true, text?: string): void {
    if (!this.editing) return;
    const { start, control } = this.editing;
    this.editing = null;
    if (commit) {
      const done = this.source.commit(text ?? control.value);
      say(done.note);
      this.current = moveOn ? { row: done.row, column: done.column } : { row: start.row, column: start.column };
    }
    this.refresh();
  }

  // The grid's own moves: arrows and pages, Tab walking the cells round (or
  // out of the grid after its last cell, where the table says so).
  private gridMove(key: string, shift: boolean): boolean {
    const moves: Record<string, [number, number]> = {
      ArrowUp: [-1, 0], ArrowDown: [1, 0], ArrowLeft: [0, -1], ArrowRight: [0, 1], PageUp: [-16, 0], PageDown: [16, 0],
    };
    const { current, source } = this;
    const last = source.rowCount() - 1;
    if (key === 'Tab') {
      const step = shift ? -1 : 1;
      const column = this.visibleColumn(current.column, step);
      if (column !== current.column) this.moveTo(current.row, column);
      else {
        const row = current.row + step;
        if (source.keys.tabLeavesAtEnds && (row < 1 || row > last)) return false;
        this.moveTo(((row - 1 + last) % last) + 1, this.visibleColumn(shift ? source.columnCount() : 0, step));
      }
      return true;
    }
    if (!(key in moves)) return false;
    const [rows, columns] = moves[key];
    const row = Math.min(Math.max(current.row + rows, 1), last);
    this.moveTo(row, columns === 0 ? current.column : this.visibleColumn(current.column, columns));
    return true;
  }

  private onKey(event: KeyboardEvent): void {
    const { source } = this;
    if (this.editing) {
      const text = this.editing.control instanceof HTMLInputElement;
      if (event.key === 'Enter') this.endEdit(true);
      else if (event.key === 'Escape') {
        if (text && source.keys.escapeKeepsText) {
          const input = this.editing.control as HTMLInputElement;
          input.value = this.editing.start.startText;
          input.select();
        } else this.endEdit(false);
      } else if (!text && event.key === 'Backspace' && source.keys.backspaceEmptiesList) this.endEdit(true, false, '');
      else if (leavesEditor(event.key, text, source.keys.arrowsLeaveEditor)) {
        this.endEdit(true, false);
        if (!this.gridMove(event.key, event.shiftKey)) return;
      } else if (text && event.key.length === 1 && !event.ctrlKey && !event.metaKey) {
        // The editor's own filter: refused keys are dropped, letters turned.
        const input = this.editing.control as HTMLInputElement;
        const accepted = source.accept(event.key);
        if (accepted !== event.key) {
          event.preventDefault();
          say(accepted === '' ? source.refusedKeyNote(event.key) : '');
          if (accepted !== '') input.setRangeText(accepted, input.selectionStart ?? 0, input.selectionEnd ?? 0, 'end');
        }
        return;
      } else return;
      event.preventDefault();
      return;
    }
    const { row, column } = this.current;
    if (this.gridMove(event.key, event.shiftKey)) {
      // moved
    } else if (event.key === 'Enter') {
      if (source.enterOpensEditor(row, column)) this.beginEdit('');
      else {
        const next = source.nextOnEnter(row, column);
        this.moveTo(next.row, next.column);
      }
    } else if (event.key === 'F2' && source.keys.f2Opens) this.beginEdit('');
    else if (event.key.length === 1 && !event.ctrlKey && !event.metaKey && !event.altKey) this.beginEdit(event.key);
    else return;
    event.preventDefault();
  }
}

export function isEditing(): boolean {
  return grids.some((grid) => grid.editing !== null);
}

// The channel grid, over the session's channel table.
const channels = new EditingGrid(byId<HTMLTableElement>('grid'), {
  rowCount: () => session.rowCount(),
  columnCount: () => session.columnCount(),
  hidden: (column) => session.hidden(column),
  cell: (row, column) => session.cell(row, column),
  greyed: (row, column) => session.greyed(row, column),
  begin: (row, column, typed) => session.begin(row, column, typed),
  accept: (key) => session.accept(key),
  commit: (text) => session.commit(text),
  spokenText: (row, column) => session.spokenText(row, column),
  cellName: (row, column) => session.cellName(row, column),
  refusedKeyNote: (typed) => session.refusedKeyNote(typed),
  enterOpensEditor: () => true,
  nextOnEnter: (row, column) => ({ row, column }),
  keys: { f2Opens: true, arrowsLeaveEditor: true, tabLeavesAtEnds: false, backspaceEmptiesList: false, escapeKeepsText: false },
  clickEdits: false,
});

export function currentCell(): { row: number; column: number } {
  return { ...channels.current };
}

// Makes a channel cell current, as a click does.
export function goTo(row: number, column: number): void {
  channels.moveTo(row, column);
}

// Back to the first channel, as after New or Open.
export function home(): void {
  channels.current = { row: 1, column: 1 };
}

export function buildGrid(): void {
  byId('caption').textContent = session.caption();
  channels.build();
}

// Every grid shows the image again (after undo, redo, Open, a Read...).
// Grids that reload from the image are told through `reloaders`.
const reloaders: (() => void)[] = [];
export function onReload(reload: () => void): void {
  reloaders.push(reload);
}

export function refreshCells(): void {
  for (const reload of reloaders) reload();
  for (const grid of grids) grid.refresh();
}
