// The channel list printed through the browser's print: the lines and the
// title line are the engine's (as the desktop prints them); the print style
// sheet shows only #print-area, repeats the headings on every page and
// numbers the pages at their foot with the desktop's "Page %1 of %2".
import { byId, engine, session, text } from './engine';

const T = { print: 1034, caption: 1100, pageOf: 1113 };

interface PrintLines { headings: string[]; rows: string[][] }

// A printed list outlives the screen it was printed from: a date that reads
// the same to everyone, as the desktop writes it.
function printDate(now: Date): string {
  const two = (n: number) => String(n).padStart(2, '0');
  return `${now.getFullYear()}-${two(now.getMonth() + 1)}-${two(now.getDate())} ${two(now.getHours())}:${two(now.getMinutes())}`;
}

export function cellRow(kind: 'th' | 'td', texts: string[]): HTMLTableRowElement {
  const row = document.createElement('tr');
  for (const value of texts) {
    const cell = document.createElement(kind);
    cell.textContent = value;
    row.appendChild(cell);
  }
  return row;
}

// "Page %1 of %2" as a CSS content value with the page counters in place.
function pageNumberContent(pattern: string): string {
  const quoted = (part: string) => JSON.stringify(part);
  return pattern
    .split(/(%1|%2)/)
    .map((part) => (part === '%1' ? 'counter(page)' : part === '%2' ? 'counter(pages)' : part ? quoted(part) : ''))
    .filter(Boolean)
    .join(' ');
}

// Fills the print area with the codeplug as it is now.
export function preparePrint(now = new Date()): void {
  const lines = engine.printLines(session) as PrintLines;
  // The title line and the caption go in the table's head, so every page
  // repeats them above the headings as the desktop's pages do.
  const spanning = (className: string, value: string) => {
    const row = cellRow('th', [value]);
    row.className = className;
    row.cells[0].colSpan = lines.headings.length;
    return row;
  };
  const table = byId<HTMLTableElement>('print-table');
  table.tHead!.replaceChildren(
    spanning('print-title', engine.printTitle(session, printDate(now))),
    spanning('print-caption', text(T.caption)),
    cellRow('th', lines.headings),
  );
  table.tBodies[0].replaceChildren(...lines.rows.map((row) => cellRow('td', row)));
  byId('print-page-style').textContent =
    `@page { @bottom-center { content: ${pageNumberContent(session.text(T.pageOf, '%1'))}; font-size: 9pt; } }`;
}

export function printChannels(): void {
  preparePrint();
  window.print();
}

export function showPrintTexts(): void {
  byId('print').textContent = text(T.print);
}

export function wirePrint(): void {
  byId('print').addEventListener('click', printChannels);
  // The browser's own Print (its menu) prints the same list.
  window.addEventListener('beforeprint', () => preparePrint());
}
