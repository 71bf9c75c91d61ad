// New, Open and Save: the File System Access API where the browser has it,
// otherwise a file input and a download named after the file.
import { byId, raw, session } from './engine';
import { Button, ask } from './dialog';
import { home, refreshCells } from './grid';
import { say } from './status';

interface Writable { write(data: Uint8Array): Promise<void>; close(): Promise<void> }
export interface FileHandle { name: string; getFile(): Promise<File>; createWritable(): Promise<Writable> }
type PickerWindow = Window & {
  showOpenFilePicker?: (options: object) => Promise<FileHandle[]>;
  showSaveFilePicker?: (options: object) => Promise<FileHandle>;
};

const T = { modified: 10000, cleared: 10002 };
export const kTw = { description: 'tw Files', accept: { 'application/octet-stream': ['.tw'] } };

let handle: FileHandle | null = null;

export const picker = () => window as PickerWindow;

// Unsaved edits are not replaced without asking: Yes saves them first, No
// drops them, Cancel stays.
export async function mayReplace(): Promise<boolean> {
  if (!session.modified()) return true;
  const answer = await ask(raw(T.modified), [Button.yes, Button.no, Button.cancel]);
  if (answer === Button.cancel) return false;
  if (answer === Button.yes) return save();
  return true;
}

export async function newCodeplug(): Promise<void> {
  if (!(await mayReplace())) return;
  if ((await ask(raw(T.cleared), [Button.ok, Button.cancel])) !== Button.ok) return;
  session.newCodeplug();
  handle = null;
  home();
  refreshCells();
}

export function openBytes(name: string, bytes: Uint8Array): void {
  const refusal = session.open(name, bytes);
  say(refusal);
  if (refusal !== '') return;
  home();
  refreshCells();
}

// A .tw the user picks in the browser's chooser; where the browser has none,
// the file input `fallback` is clicked instead (its change event goes on).
export async function pickTw(fallback: HTMLInputElement): Promise<{ handle: FileHandle; bytes: Uint8Array } | undefined> {
  const choose = picker().showOpenFilePicker;
  if (!choose) {
    fallback.click();
    return undefined;
  }
  try {
    const [picked] = await choose({ types: [kTw] });
    return { handle: picked, bytes: new Uint8Array(await (await picked.getFile()).arrayBuffer()) };
  } catch {
    return undefined; // the chooser was cancelled
  }
}

export async function open(): Promise<void> {
  if (!(await mayReplace())) return;
  const picked = await pickTw(byId<HTMLInputElement>('file'));
  if (!picked) return;
  openBytes(picked.handle.name, picked.bytes);
  handle = picked.handle;
}

// Hands `bytes` to the user: into the chosen file, or as a download.
export async function deliver(name: string, bytes: Uint8Array<ArrayBuffer>, into: FileHandle | null, type = 'application/octet-stream'): Promise<void> {
  if (into && 'createWritable' in into) {
    const writable = await into.createWritable();
    await writable.write(bytes);
    await writable.close();
    return;
  }
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

// The file Save writes to from now on (null: a download).
export function adopt(into: FileHandle | null): void {
  handle = into;
}

// True when saved.
export async function save(): Promise<boolean> {
  const name = session.documentName();
  await deliver(name, session.save(name), handle);
  refreshCells();
  return true;
}

byId<HTMLInputElement>('file').addEventListener('change', async (event) => {
  const input = event.target as HTMLInputElement;
  const file = input.files?.[0];
  input.value = '';
  if (!file) return;
  handle = null;
  openBytes(file.name, new Uint8Array(await file.arrayBuffer()));
});
