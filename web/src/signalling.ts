// The 2-Tone, 5-Tone and MSK windows: each a region with the desktop
// window's title and its grids in frames named as the desktop names them,
// opened and closed from a button carrying the window's name.  The grids
// are the page's one editing grid over the engine's signalling tables.
import { type Commit, type EditStart, byId, engine, session } from './engine';
import { EditingGrid, type GridKeys, onReload } from './grid';

// The binding's class for one window ("2tone", "5tone", "msk").
interface Signalling {
  reload(): void;
  title(): string;
  gridCount(): number;
  frame(grid: number): string;
  rowCount(grid: number): number;
  columnCount(grid: number): number;
  cell(grid: number, row: number, column: number): string;
  greyed(grid: number, row: number, column: number): boolean;
  spokenText(grid: number, row: number, column: number): string;
  cellName(grid: number, row: number, column: number): string;
  keys(grid: number): GridKeys;
  enterOpensEditor(grid: number, row: number, column: number): boolean;
  nextOnEnter(grid: number, row: number, column: number): { row: number; column: number };
  begin(grid: number, row: number, column: number, typed: string): EditStart;
  accept(key: string): string;
  refusedKeyNote(typed: string): string;
  commit(text: string): Commit;
}

interface Window {
  kind: string;
  engine: Signalling;
  button: HTMLButtonElement;
  region: HTMLElement;
  grids: EditingGrid[];
}

const windows: Window[] = [];

function gridOf(window: Signalling, g: number, table: HTMLTableElement): EditingGrid {
  return new EditingGrid(table, {
    rowCount: () => window.rowCount(g),
    columnCount: () => window.columnCount(g),
    hidden: () => false,
    cell: (row, column) => window.cell(g, row, column),
    greyed: (row, column) => window.greyed(g, row, column),
    begin: (row, column, typed) => window.begin(g, row, column, typed),
    accept: (key) => window.accept(key),
    commit: (text) => window.commit(text),
    spokenText: (row, column) => window.spokenText(g, row, column),
    cellName: (row, column) => window.cellName(g, row, column),
    refusedKeyNote: (typed) => window.refusedKeyNote(typed),
    enterOpensEditor: (row, column) => window.enterOpensEditor(g, row, column),
    nextOnEnter: (row, column) => window.nextOnEnter(g, row, column),
    keys: window.keys(g),
    clickEdits: true,
  });
}

function showWindow(window: Window, open: boolean): void {
  window.region.hidden = !open;
  window.button.setAttribute('aria-expanded', String(open));
  if (open) window.grids[0].cellOf(1, 1)?.focus();
}

// The frames' and windows' captions in the session's language.
export function showSignallingTexts(): void {
  for (const window of windows) {
    window.engine.reload();
    const title = window.engine.title();
    window.button.textContent = title;
    byId(`sig-${window.kind}-title`).textContent = title;
    for (let g = 0; g < window.grids.length; ++g) {
      byId(`sig-${window.kind}-frame${g}`).textContent = window.engine.frame(g);
      window.grids[g].build();
    }
  }
}

// The windows' buttons into `bar`, their regions into `place`.
export function wireSignalling(bar: HTMLElement, place: HTMLElement): void {
  for (const kind of ['2tone', '5tone', 'msk']) {
    const signalling = new engine.Signalling(session, kind) as Signalling;
    const button = document.createElement('button');
    button.type = 'button';
    button.id = `win-${kind}`;
    button.setAttribute('aria-controls', `sig-${kind}-window`);
    bar.appendChild(button);
    const region = document.createElement('section');
    region.id = `sig-${kind}-window`;
    region.className = 'signalling';
    region.setAttribute('role', 'region');
    region.setAttribute('aria-labelledby', `sig-${kind}-title`);
    const title = document.createElement('h2');
    title.id = `sig-${kind}-title`;
    region.appendChild(title);
    const grids: EditingGrid[] = [];
    for (let g = 0; g < signalling.gridCount(); ++g) {
      const frame = document.createElement('fieldset');
      const legend = document.createElement('legend');
      legend.id = `sig-${kind}-frame${g}`;
      const table = document.createElement('table');
      table.id = `sig-${kind}-grid${g}`;
      table.setAttribute('role', 'grid');
      table.setAttribute('aria-labelledby', `sig-${kind}-title ${legend.id}`);
      frame.append(legend, table);
      region.appendChild(frame);
      grids.push(gridOf(signalling, g, table));
    }
    place.appendChild(region);
    const window: Window = { kind, engine: signalling, button, region, grids };
    windows.push(window);
    showWindow(window, false);
    button.addEventListener('click', () => showWindow(window, region.hidden === true));
    region.addEventListener('keydown', (event) => {
      if (event.key === 'Escape' && !event.defaultPrevented && (event.target as HTMLElement).tagName === 'TD') {
        showWindow(window, false);
        button.focus();
      }
    });
  }
  onReload(() => {
    for (const window of windows) window.engine.reload();
  });
}
