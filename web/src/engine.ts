// The engine module and the one session the page edits.  Every rule, text
// and codec is the engine's; the page only moves texts and keys.

export interface EditStart { kind: 'none' | 'text' | 'list'; row: number; column: number; text: string; maxLength: number; items: string[]; selectAll: boolean; startText: string }
export interface Commit { accepted: boolean; note: string; row: number; column: number }
export interface Session {
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
  spokenText(row: number, column: number): string;
  cellName(row: number, column: number): string;
  refusedKeyNote(typed: string): string;
}

// The module's classes, as the binding declares them.
// eslint-disable-next-line @typescript-eslint/no-explicit-any
export type Engine = any;

export let engine: Engine;
export let session: Session;

export async function loadEngine(): Promise<void> {
  // The module sits next to this script; relative URLs only, so any static
  // host can serve the site from any folder.
  const moduleUrl = new URL('./orvex_web.js', import.meta.url).href;
  const { default: OrvexEngine } = await import(/* webpackIgnore: true */ moduleUrl);
  engine = await OrvexEngine({ locateFile: (file: string) => new URL(file, import.meta.url).href });
  session = new engine.Session() as Session;
}

// Menu texts carry their keyboard accelerators ("&Undo %1", "新建(&N)").
export function plain(text: string): string {
  return text.replace(/\(&.\)/g, '').replace(/&(.)/g, '$1').replace(/\.\.\.$/, '').trim();
}

// A string-table text in the session's language, %1 filled with `arg`.
export const raw = (number: number, arg = '') => session.text(number, arg);
// The same without its accelerator mark, as a button shows it.
export const text = (number: number, arg = '') => plain(session.text(number, arg));

export const byId = <E extends HTMLElement>(id: string) => document.getElementById(id) as E;
