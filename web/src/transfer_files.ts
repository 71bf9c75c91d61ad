// Channel CSV and JSON codeplug import and export, and Save As.  The
// questions, reports and bytes are the engine's, as the desktop program and
// orvex-cli word and write them; the page only picks the files.
import { engine, raw, session, text } from './engine';
import { Button, ask, tell } from './dialog';
import { type FileHandle, adopt, deliver, kTw, picker, save } from './files';
import { refreshCells } from './grid';

export const kCsv = { description: 'CSV', accept: { 'text/csv': ['.csv'] } };
const kJson = { description: 'JSON', accept: { 'application/json': ['.json'] } };

// The text of a file the user picks, with its name; null when cancelled.
export function chooseText(accept: string): Promise<{ name: string; text: string } | null> {
  return new Promise((resolve) => {
    const input = document.createElement('input');
    input.type = 'file';
    input.accept = accept;
    input.addEventListener('change', async () => {
      const file = input.files?.[0];
      resolve(file ? { name: file.name, text: await file.text() } : null);
    });
    input.addEventListener('cancel', () => resolve(null));
    input.click();
  });
}

// The open codeplug's name with another ending ("Untitled.csv").
const named = (ending: string) => session.documentName().replace(/\.tw$/i, '') + ending;

// Into a file the user names where the browser can, else a download.
export async function export_(name: string, body: string, type: object, mime: string): Promise<void> {
  let into: FileHandle | null = null;
  const choose = picker().showSaveFilePicker;
  if (choose) {
    try {
      into = await choose({ suggestedName: name, types: [type] });
    } catch {
      return; // the chooser was cancelled
    }
  }
  await deliver(into?.name ?? name, new TextEncoder().encode(body), into, mime);
}

export async function importCsv(): Promise<void> {
  const file = await chooseText('.csv,text/csv');
  if (!file) return;
  let renumber = false;
  let plan = engine.planCsv(session, file.text, false);
  if (plan.renumber !== '') {
    const answer = await ask(plan.renumber, [Button.yes, Button.no, Button.cancel]);
    if (answer === Button.cancel) return;
    renumber = answer === Button.yes;
    if (renumber) plan = engine.planCsv(session, file.text, true);
  }
  if (plan.refusal !== '') return tell(plan.refusal);
  if (plan.bad !== '' && (await ask(plan.bad, [Button.yes, Button.cancel], { labels: { [Button.yes]: plan.offer } })) !== Button.yes) return;
  const report: string = engine.importCsv(session, file.text, renumber);
  refreshCells();
  await tell(report);
}

export async function importJson(): Promise<void> {
  const file = await chooseText('.json,application/json');
  if (!file) return;
  const refusal: string = engine.importJson(session, file.name, file.text);
  refreshCells();
  if (refusal !== '') await tell(refusal);
}

export const exportCsv = () => export_(named('.csv'), engine.exportCsv(session), kCsv, 'text/csv');
export const exportJson = () => export_(named('.json'), engine.exportJson(session), kJson, 'application/json');

// Save As: into a file the user names where the browser can (the title then
// names it), else Save's download named after the file.
export async function saveAs(): Promise<void> {
  const choose = picker().showSaveFilePicker;
  if (!choose) {
    await save();
    return;
  }
  let into: FileHandle;
  try {
    into = await choose({ suggestedName: session.documentName(), types: [kTw] });
  } catch {
    return;
  }
  await deliver(into.name, session.save(into.name), into);
  adopt(into);
  refreshCells();
}

// A menu text as a button shows it, keeping the "..." of a command that asks
// for more.
export const caption = (number: number) => text(number) + (raw(number).endsWith('...') ? '...' : '');

// The toolbar's file buttons, named as the desktop program's menu names them.
export function showFileTexts(): void {
  const names: Record<string, number> = {
    'save-as': 1980, 'import-csv': 1037, 'export-csv': 1038, 'import-json': 1981, 'export-json': 1982,
  };
  for (const [id, number] of Object.entries(names)) document.getElementById(id)!.textContent = caption(number);
}

export function wireFiles(): void {
  const actions: Record<string, () => Promise<void>> = {
    'save-as': saveAs, 'import-csv': importCsv, 'export-csv': exportCsv, 'import-json': importJson, 'export-json': exportJson,
  };
  for (const [id, run] of Object.entries(actions)) document.getElementById(id)!.addEventListener('click', () => void run());
}
