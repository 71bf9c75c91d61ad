// The comparison window, as the desktop's Compare: a row per difference
// (what, its text in the open codeplug and in the other file), the note
// under the list, and a channel row taking the user to that channel in the
// grid.  Rows and texts are the engine's; a backup and a file compare alike.
import { byId, engine, session, text } from './engine';
import { tell } from './dialog';
import { goTo } from './grid';
import { cellRow } from './print';

interface Comparison { title: string; headers: string[]; rows: (string[] & { channel: number; spoken: string[] })[]; note: string; refused: boolean }

const T = { close: 1689 };
// The grid's Rx Freq column: where the desktop puts the user on a channel.
const kRxColumn = 1;

let returnTo: HTMLElement | null = null;

function close(): void {
  byId('compare-window').hidden = true;
  returnTo?.focus();
}

// Compares the open codeplug with `bytes` (a .tw named `name`) and shows it.
export async function showComparison(name: string, bytes: Uint8Array): Promise<void> {
  const comparison = engine.compareTable(session, name, bytes) as Comparison;
  if (comparison.refused) {
    await tell(comparison.note);
    return;
  }
  returnTo = document.activeElement as HTMLElement | null;
  const region = byId('compare-window');
  byId('compare-title').textContent = comparison.title;
  const table = region.querySelector('table')!;
  table.tHead!.replaceChildren(cellRow('th', comparison.headers));
  table.tBodies[0].replaceChildren(
    ...comparison.rows.map((row) => {
      const tr = cellRow('td', [...row]);
      [...tr.cells].forEach((cell, c) => cell.setAttribute('aria-label', row.spoken[c]));
      tr.tabIndex = -1;
      tr.addEventListener('dblclick', () => goToChannel(row.channel));
      tr.addEventListener('keydown', (event) => {
        if (event.key !== 'Enter') return;
        event.preventDefault();
        goToChannel(row.channel);
      });
      return tr;
    }),
  );
  const first = table.tBodies[0].rows[0];
  if (first) first.tabIndex = 0;
  byId('compare-note').textContent = comparison.note;
  byId('compare-close').textContent = text(T.close);
  region.hidden = false;
  (first ?? byId('compare-close')).focus();
}

// As on the desktop, the channel window takes the focus; this list stays open.
function goToChannel(channel: number): void {
  if (channel <= 0) return;
  (document.activeElement as HTMLElement | null)?.blur();
  goTo(channel, kRxColumn);
}

export function wireCompare(): void {
  byId('compare-close').addEventListener('click', close);
  byId('compare-window').addEventListener('keydown', (event) => {
    const row = (event.target as HTMLElement).closest('tr');
    const moves: Record<string, number> = { ArrowUp: -1, ArrowDown: 1 };
    if (event.key === 'Escape') close();
    else if (row && event.key in moves) {
      const next = (moves[event.key] < 0 ? row.previousElementSibling : row.nextElementSibling) as HTMLElement | null;
      if (!next) return;
      row.tabIndex = -1;
      next.tabIndex = 0;
      next.focus();
    } else return;
    event.preventDefault();
  });
}
