// The 2-Tone, 5-Tone and MSK windows: each a region with the desktop
// window's title and its grids in frames named as the desktop names them,
// opened and closed from a button carrying the window's name.  The grids
// are the page's one editing grid over the engine's signalling tables.
import { type Commit, type EditStart, byId, engine, session } from './engine';
import { EditingGrid, type GridKeys, onReload, tellChanged } from './grid';

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
  columnWidths(grid: number): number[];
  keys(grid: number): GridKeys;
  enterOpensEditor(grid: number, row: number, column: number): boolean;
  nextOnEnter(grid: number, row: number, column: number): { row: number; column: number };
  begin(grid: number, row: number, column: number, typed: string): EditStart;
  accept(key: string): string;
  refusedKeyNote(typed: string): string;
  commit(text: string): Commit;
  settings(): { label: string; items: string[]; chosen: number }[];
  choose(setting: number, value: number): void;
  reference(): { frame: string; label: string; names: string[]; chosen: number; symbols: string[]; frequencies: string[] };
  showReference(standard: number): void;
}

interface Window {
  kind: string;
  engine: Signalling;
  button: HTMLButtonElement;
  region: HTMLElement;
  grids: EditingGrid[];
  // The window's lists and switches (a check box where a setting has no
  // items), with their labels.
  settings: { label: HTMLElement; control: HTMLSelectElement | HTMLInputElement }[];
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
    columnShares: () => window.columnWidths(g),
  });
}

// Enter on a list or a switch moves on to the window's next control (round
// to the first after the last), as Enter does in the desktop's windows;
// read-only fields are passed over as the desktop's disabled ones are.
function enterMovesFocus(window: Window, control: HTMLElement): void {
  control.addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' || event.altKey || event.ctrlKey || event.metaKey) return;
    event.preventDefault();
    const order = [...window.region.querySelectorAll<HTMLElement>('select, input:not([readonly]), button, [tabindex="0"]')]
      .filter((c) => !(c as HTMLButtonElement).disabled && c.checkVisibility());
    order[(order.indexOf(control) + 1) % order.length]?.focus();
  });
}

// The lists and switches show the table's values (and, with `texts`, their
// labels and items in the session's language).
function showSettings(window: Window, texts: boolean): void {
  window.engine.settings().forEach((setting, s) => {
    const { label, control } = window.settings[s];
    if (texts) label.textContent = setting.label;
    if (control instanceof HTMLInputElement) control.checked = setting.chosen === 1;
    else {
      if (texts) control.replaceChildren(...setting.items.map((item, i) => new Option(item, String(i))));
      control.value = String(setting.chosen);
    }
  });
}

function addSettings(window: Window): void {
  window.engine.settings().forEach((setting, s) => {
    const label = document.createElement('label');
    const text = document.createElement('span');
    const control = setting.items.length === 0 ? document.createElement('input') : document.createElement('select');
    if (control instanceof HTMLInputElement) {
      control.type = 'checkbox';
      label.append(control, ' ', text);
    } else label.append(text, ' ', control);
    control.id = `sig-${window.kind}-setting${s}`;
    enterMovesFocus(window, control);
    control.addEventListener('change', () => {
      const value = control instanceof HTMLInputElement ? Number(control.checked) : Number(control.value);
      window.engine.choose(s, value);
      showSettings(window, false);
      tellChanged();
    });
    window.region.appendChild(label);
    window.settings.push({ label: text, control });
  });
}

// The 5-Tone window's read-only table of the chosen standard's frequencies.
function showReference(window: Window, texts: boolean): void {
  const reference = window.engine.reference();
  const list = byId<HTMLSelectElement>('sig-5tone-standard');
  if (texts) {
    byId('sig-5tone-standard-frame').textContent = reference.frame;
    byId('sig-5tone-standard-label').textContent = reference.label;
    list.replaceChildren(...reference.names.map((name, i) => new Option(name, String(i))));
  }
  list.value = String(reference.chosen);
  reference.frequencies.forEach((frequency, symbol) => {
    byId<HTMLInputElement>(`sig-5tone-tone${symbol}`).value = frequency;
  });
}

function addReference(window: Window): void {
  const frame = document.createElement('fieldset');
  const legend = document.createElement('legend');
  frame.className = 'reference';
  legend.id = 'sig-5tone-standard-frame';
  const label = document.createElement('label');
  const text = document.createElement('span');
  text.id = 'sig-5tone-standard-label';
  const list = document.createElement('select');
  list.id = 'sig-5tone-standard';
  label.append(text, ' ', list);
  frame.append(legend, label);
  window.engine.reference().symbols.forEach((symbol, i) => {
    const tone = document.createElement('label');
    tone.className = 'tone';
    const field = document.createElement('input');
    field.id = `sig-5tone-tone${i}`;
    field.readOnly = true;
    field.size = 7;
    tone.append(symbol, ' ', field);
    frame.appendChild(tone);
  });
  enterMovesFocus(window, list);
  list.addEventListener('change', () => {
    window.engine.showReference(Number(list.value));
    showReference(window, false);
  });
  window.region.insertBefore(frame, window.region.children[1]);
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
    showSettings(window, true);
    if (window.kind === '5tone') showReference(window, true);
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
    const window: Window = { kind, engine: signalling, button, region, grids, settings: [] };
    addSettings(window);
    if (kind === '5tone') addReference(window);
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
    for (const window of windows) {
      window.engine.reload();
      showSettings(window, false);
    }
  });
}
