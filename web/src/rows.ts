// Row commands on the channel grid, as the desktop channel window offers
// them: Cut, Copy and Paste of whole channels (Ctrl+X/C/V), Insert a blank
// channel (Ins), Delete (Ctrl+Del, the channels below move up), Clear
// (Del), Move Up/Down (Alt+Up/Alt+Down) and Sort by Rx frequency or name.
// With no channel numbers chosen, Cut, Copy, Paste and Del work on the
// current cell as they do there.  Each is one undo step of the engine, which
// also words every refusal and question.
import { byId, engine, session } from './engine';
import { Button, type ButtonText, ask, tell } from './dialog';
import { currentCell, goTo, isEditing, refreshCells } from './grid';
import { caption } from './transfer_files';
import { say } from './status';

interface Outcome { done: boolean; message: string; rows: number[]; report: string }

const grid = byId<HTMLTableElement>('grid');
// Channel numbers chosen on the row headers (click, Shift+click for a range,
// Ctrl+click to add one) or by keys (Shift+Space, Shift+Up/Down); the
// current row alone when the current cell has left them.
let chosen: number[] = [];
let anchor = 1;
const kReplace = 1820 as ButtonText;
const kInsert = 1821 as ButtonText;

// Whether channel numbers are chosen (the commands then take whole channels).
const rowsChosen = () => chosen.includes(currentCell().row);

export function selectedRows(): number[] {
  const row = currentCell().row;
  return rowsChosen() ? [...chosen] : row >= 1 ? [row] : [];
}

function mark(): void {
  const rows = new Set(rowsChosen() ? chosen : []);
  for (let row = 1; row < grid.rows.length; ++row) {
    const selected = rows.has(row);
    grid.rows[row].classList.toggle('selected', selected);
    grid.rows[row].setAttribute('aria-selected', String(selected));
  }
}

function choose(rows: number[]): void {
  chosen = [...rows].sort((a, b) => a - b);
  if (chosen.length > 0) goTo(chosen[0], Math.max(currentCell().column, 1));
  mark();
}

// Shows what a command did: the channels again, its rows chosen, and what it
// has to say.
async function shown(outcome: Outcome): Promise<void> {
  refreshCells();
  if (outcome.done) choose(outcome.rows);
  if (outcome.message !== '') await tell(outcome.message);
  if (outcome.report !== '') await tell(outcome.report);
}

export function rowCommand(command: string): Promise<void> {
  if (isEditing()) return Promise.resolve();
  return shown(engine.rowCommand(session, command, selectedRows()));
}

// Cut, Delete or Paste on the current cell: a single note goes to the
// status line, several to a box.
async function cellCommand(command: string, text = ''): Promise<void> {
  const { row, column } = currentCell();
  const outcome: Outcome = engine.cellCommand(session, command, row, column, text);
  refreshCells();
  say(outcome.message);
  if (outcome.report !== '') await tell(outcome.report);
}

async function copy(clipboard: DataTransfer | null): Promise<void> {
  const { row, column } = currentCell();
  const copied: string = rowsChosen() ? engine.copyRows(session, selectedRows()) : engine.copyCell(session, row, column);
  if (clipboard) clipboard.setData('text/plain', copied);
  else await navigator.clipboard?.writeText(copied).catch(() => undefined);
}

export async function cut(clipboard: DataTransfer | null = null): Promise<void> {
  if (isEditing()) return;
  const rows = rowsChosen();
  await copy(clipboard);
  await (rows ? rowCommand('cut') : cellCommand('cut'));
}

const clear = () => (rowsChosen() ? rowCommand('clear') : cellCommand('clear'));

// A paste from channel `at` on: the page's own copy byte for byte, or text
// from a spreadsheet or a CSV file through the import's rules.
export async function paste(text: string | null = null): Promise<void> {
  const rows = selectedRows();
  if (rows.length === 0 || isEditing()) return;
  const from = text ?? (await navigator.clipboard?.readText().catch(() => '')) ?? '';
  if (!rowsChosen() && !engine.pastesChannels(from)) return cellCommand('paste', from);
  const at = rows[0];
  const plan = engine.pastePlan(session, at, from);
  if (plan.message !== '') return tell(plan.message);
  let insert = false;
  if (plan.question !== '') {
    const answer = await ask(plan.question, [kReplace, kInsert, Button.cancel]);
    if (answer === Button.cancel) return;
    insert = answer === kInsert;
  }
  await shown(engine.paste(session, at, from, insert));
}

// The commands' buttons and keys.
const kButtons: [string, number, () => Promise<void>][] = [
  ['row-cut', 1983, () => cut()],
  ['row-copy', 1984, () => copy(null)],
  ['row-paste', 1985, () => paste()],
  ['row-insert', 1986, () => rowCommand('insert')],
  ['row-delete', 1987, () => rowCommand('delete')],
  ['row-clear', 1988, clear],
  ['row-up', 1989, () => rowCommand('up')],
  ['row-down', 10450, () => rowCommand('down')],
  ['row-sort-rx', 10451, () => rowCommand('sortRx')],
  ['row-sort-name', 10452, () => rowCommand('sortName')],
];

export function showRowTexts(): void {
  for (const [id, number] of kButtons) byId(id).textContent = caption(number);
}

function rowKey(event: KeyboardEvent): string | null {
  const ctrl = event.ctrlKey || event.metaKey;
  if (event.key === 'Insert' && !ctrl && !event.altKey) return 'insert';
  if (event.key === 'Delete' && !event.altKey) return ctrl ? 'delete' : 'clear';
  if (event.altKey && !ctrl && event.key === 'ArrowUp') return 'up';
  if (event.altKey && !ctrl && event.key === 'ArrowDown') return 'down';
  return null;
}

// Channel numbers chosen from the keyboard: Shift+Space the current row,
// Shift+Up and Shift+Down then take in the row above or below.
function chooseByKey(event: KeyboardEvent): boolean {
  if (!event.shiftKey || event.ctrlKey || event.altKey || event.metaKey) return false;
  const row = currentCell().row;
  if (event.key === ' ') {
    anchor = row;
    choose([row]);
    return true;
  }
  const step = event.key === 'ArrowUp' ? -1 : event.key === 'ArrowDown' ? 1 : 0;
  if (step === 0 || !rowsChosen()) return false;
  const next = Math.min(Math.max(row + step, 1), grid.rows.length - 1);
  const [low, high] = [Math.min(anchor, next), Math.max(anchor, next)];
  chosen = Array.from({ length: high - low + 1 }, (_, i) => low + i);
  goTo(next, currentCell().column);
  mark();
  return true;
}

// The grid's context menu (right click, Shift+F10, the Menu key): the row
// commands in the desktop menu's order, arrows to move, Enter to run,
// Escape to close.
function showMenu(x: number, y: number): void {
  const menu = byId<HTMLUListElement>('row-menu');
  menu.replaceChildren(
    ...kButtons.map(([id, number, run], i) => {
      const item = document.createElement('li');
      item.setAttribute('role', 'menuitem');
      item.tabIndex = -1;
      item.textContent = caption(number);
      item.dataset.command = id;
      // Separators as the desktop menu has them: after Paste, Clear and Move Down.
      if ([2, 5, 7].includes(i)) item.classList.add('separated');
      item.addEventListener('click', () => {
        closeMenu();
        void run();
      });
      return item;
    }),
  );
  menu.style.left = `${x}px`;
  menu.style.top = `${y}px`;
  menu.hidden = false;
  (menu.firstElementChild as HTMLElement).focus();
}

function menuAtCell(): void {
  const cell = grid.rows[currentCell().row]?.cells[currentCell().column];
  const box = cell?.getBoundingClientRect() ?? { left: 0, bottom: 0 };
  showMenu(box.left, box.bottom);
}

function closeMenu(): void {
  const menu = byId<HTMLUListElement>('row-menu');
  if (menu.hidden) return;
  menu.hidden = true;
  goTo(currentCell().row, currentCell().column);
}

export function wireRows(): void {
  grid.addEventListener('contextmenu', (event) => {
    if (isEditing()) return;
    event.preventDefault();
    const header = (event.target as HTMLElement).closest('th[role="rowheader"], td') as HTMLElement | null;
    const row = Number(header?.dataset.row ?? currentCell().row);
    // A right click outside the chosen rows chooses the row clicked.
    if (event.button === 2 && row >= 1 && !chosen.includes(row)) {
      anchor = row;
      choose([row]);
    }
    if (event.button === 2) showMenu(event.clientX, event.clientY);
    else menuAtCell();
  });
  const menu = byId<HTMLUListElement>('row-menu');
  menu.addEventListener('keydown', (event) => {
    const items = [...menu.children] as HTMLElement[];
    const at = items.indexOf(document.activeElement as HTMLElement);
    if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      items[(at + (event.key === 'ArrowDown' ? 1 : items.length - 1)) % items.length].focus();
    } else if (event.key === 'Enter' || event.key === ' ') {
      items[at]?.click();
    } else if (event.key === 'Escape' || event.key === 'Tab') {
      closeMenu();
    } else return;
    event.preventDefault();
  });
  menu.addEventListener('focusout', (event) => {
    if (!menu.contains(event.relatedTarget as Node)) menu.hidden = true;
  });
  for (const [id, , run] of kButtons) byId(id).addEventListener('click', () => void run());
  // Before the grid's own keys: Alt+Up is a move, not a step up.
  grid.addEventListener('keydown', (event) => {
    const menuKey = event.key === 'ContextMenu' || (event.key === 'F10' && event.shiftKey);
    if (!isEditing() && (menuKey || chooseByKey(event))) {
      event.preventDefault();
      event.stopPropagation();
      if (menuKey) menuAtCell();
      return;
    }
    const command = isEditing() || byId<HTMLDialogElement>('dialog').open ? null : rowKey(event);
    if (!command) return;
    event.preventDefault();
    event.stopPropagation();
    void (command === 'clear' ? clear() : rowCommand(command));
  }, true);
  // The browser's own Ctrl+X/C/V on the grid (not in a cell editor).
  grid.addEventListener('copy', (event) => {
    if (isEditing()) return;
    event.preventDefault();
    void copy(event.clipboardData);
  });
  grid.addEventListener('cut', (event) => {
    if (isEditing()) return;
    event.preventDefault();
    void cut(event.clipboardData);
  });
  grid.addEventListener('paste', (event) => {
    if (isEditing()) return;
    event.preventDefault();
    void paste(event.clipboardData?.getData('text/plain') ?? '');
  });
  grid.addEventListener('click', (event) => {
    const header = (event.target as HTMLElement).closest('th[role="rowheader"]') as HTMLElement | null;
    if (!header || isEditing()) return;
    const row = Number(header.dataset.row);
    if (event.shiftKey) {
      const [low, high] = [Math.min(anchor, row), Math.max(anchor, row)];
      choose(Array.from({ length: high - low + 1 }, (_, i) => low + i));
    } else if (event.ctrlKey || event.metaKey) {
      choose(chosen.includes(row) ? chosen.filter((r) => r !== row) : [...chosen, row]);
    } else {
      anchor = row;
      choose([row]);
    }
  });
  // A move of the current cell off the chosen rows leaves them.
  grid.addEventListener('keyup', mark);
}
