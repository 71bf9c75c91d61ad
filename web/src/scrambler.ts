// The Scrambler Frequency window: the eight scrambler groups, of which only
// group 8's frequency is typed.  Its field takes what the engine's typing
// rule lets in, selects its text on entry, puts the entry's text back on
// Escape, and is clamped and stored (one undo step) when left or entered.
import { byId, engine, session } from './engine';
import { onReload, tellChanged } from './grid';
import { moveOnEnter, type PageWindow, showWindow, wireWindow } from './page_window';
import { say } from './status';

interface ScramblerCaptions {
  window: string;
  group: string;
  frequency: string;
  names: string[];
  typedLength: number;
}

// The binding's class for the window.
interface Scrambler {
  frequencies(): string[];
  captions(): ScramblerCaptions;
  clamp(typed: string): { text: string; note: string };
  store(text: string): void;
}

let scrambler: Scrambler;
let scramblerWindow: PageWindow;
let typedLength = 0;
// The text when the field was entered, which Escape puts back, and whether
// it was typed on since it was last shown.
let remembered = '';
let typed = false;
// A click is entering the field: its release keeps the text selected.
let clicking = false;

// The last group's field, the one typed in.
let typedField: HTMLInputElement;
const field = () => typedField;
const accept = (key: string): string => engine.Scrambler.accept(key);

function show(): void {
  scrambler.frequencies().forEach((frequency, group) => {
    byId<HTMLInputElement>(`scr-freq${group}`).value = frequency;
  });
  typed = false;
}

// The clamp of leaving the field, with its note in the status line.
function clamp(): void {
  const clamped = scrambler.clamp(field().value);
  field().value = clamped.text;
  if (clamped.note) say(clamped.note);
}

function leave(): void {
  clamp();
  store();
}

function store(): void {
  scrambler.store(field().value);
  typed = false;
  tellChanged();
}

function enter(): void {
  remembered = field().value;
  field().select();
}

// Typed and pasted text as typing it key by key would leave it: refused
// characters dropped, no more than the field's typing length.
function filter(event: InputEvent): void {
  // A paste or a drop brings its text in `dataTransfer`.
  const text = event.data ?? event.dataTransfer?.getData('text/plain');
  if (!event.inputType.startsWith('insert') || text === undefined) return;
  const input = field();
  const selected = (input.selectionEnd ?? 0) - (input.selectionStart ?? 0);
  const room = Math.max(0, typedLength - (input.value.length - selected));
  const kept = Array.from(text, accept).join('').slice(0, room);
  if (kept === text) return;
  event.preventDefault();
  // Through the editing command (which raises no second beforeinput), so the
  // field's own undo keeps it.
  if (kept) document.execCommand('insertText', false, kept);
}

function build(region: HTMLElement): void {
  const frame = document.createElement('fieldset');
  const legend = document.createElement('legend');
  legend.id = 'scr-frame';
  const grid = document.createElement('div');
  grid.className = 'scr-groups';
  for (const column of [0, 1]) {
    const heading = document.createElement('span');
    heading.id = `scr-heading${column}`;
    heading.className = 'scr-heading';
    heading.setAttribute('aria-hidden', 'true');
    grid.appendChild(heading);
  }
  const groups = scrambler.captions().names.length;
  for (let group = 0; group < groups; ++group) {
    const label = document.createElement('label');
    label.textContent = String(group + 1);
    label.htmlFor = `scr-freq${group}`;
    const input = document.createElement('input');
    input.id = `scr-freq${group}`;
    input.size = 8;
    // Groups 1..7 have fixed frequencies.
    input.disabled = group < groups - 1;
    grid.append(label, input);
    typedField = input;
  }
  frame.append(legend, grid);
  region.appendChild(frame);

  const input = typedField;
  input.inputMode = 'numeric';
  input.addEventListener('beforeinput', filter);
  input.addEventListener('input', () => (typed = true));
  input.addEventListener('focus', enter);
  // The click that enters the field leaves its text selected.
  input.addEventListener('mousedown', () => (clicking = document.activeElement !== input));
  input.addEventListener('mouseup', (event) => {
    if (clicking) event.preventDefault();
    clicking = false;
  });
  input.addEventListener('blur', leave);
  input.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      event.preventDefault();
      event.stopPropagation();
      input.value = remembered;
      typed = false;
      input.select();
      return;
    }
    if (!(event.ctrlKey || event.metaKey)) return;
    const key = event.key.toLowerCase();
    // Ctrl+Z and Ctrl+Y undo the typing of this visit first; the page's
    // commands take an edit still being typed with them.
    if ((key === 'z' || key === 'y') && input.value !== remembered) event.stopPropagation();
    else if ('szyp'.includes(key)) {
      if (typed) clamp();
      store();
    }
  });
  moveOnEnter(input, region, () => {
    leave();
    enter();
  });
}

// The captions in the session's language, then the frequencies again.
export function showScramblerTexts(): void {
  const captions = scrambler.captions();
  typedLength = captions.typedLength;
  scramblerWindow.button.textContent = captions.window;
  byId('scrambler-title').textContent = captions.window;
  byId('scr-frame').textContent = captions.window;
  byId('scr-heading0').textContent = captions.group;
  byId('scr-heading1').textContent = captions.frequency;
  captions.names.forEach((name, group) => byId(`scr-freq${group}`).setAttribute('aria-label', name));
  if (!scramblerWindow.region.hidden) show();
}

export function wireScrambler(bar: HTMLElement, place: HTMLElement): void {
  scrambler = new engine.Scrambler(session) as Scrambler;
  scramblerWindow = wireWindow(bar, place, 'scrambler', build, () => {
    show();
    tellChanged();
    field().focus();
  });
  // The window shows the image again after an undo, a Read, an Open...
  onReload(() => {
    if (scramblerWindow.region.hidden) return;
    show();
    if (document.activeElement === field()) enter();
  });
  showWindow(scramblerWindow, false);
}
