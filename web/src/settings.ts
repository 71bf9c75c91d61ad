// The Optional Features window: a region with the desktop window's title
// and groups, opened and closed from a button carrying that title.  Lists,
// check boxes and the up-down store at once; text fields store when left.
// Enter moves on as Tab does, as in the desktop window.
import { byId, engine, session } from './engine';
import { onReload, tellChanged } from './grid';
import { tell } from './dialog';
import { say } from './status';

interface Control {
  frame: number;
  name: string;
  kind: 'list' | 'check' | 'text' | 'updown' | 'readonly';
  label: string;
  items: string[];
  maxLength: number;
  maximum: number;
  unit?: string;
}

// The binding's class.
interface Settings {
  title(): string;
  frameTitle(frame: number): string;
  controls(): Control[];
  reload(): void;
  shown(control: number): number | string;
  numberText(control: number, value: number): string;
  typedNumber(control: number, typed: string): number;
  accept(control: number, typed: string): string;
  choose(control: number, value: number): void;
  commit(control: number, typed: string): { text: string; warning: string; note: string };
}

const kFrames = 9;
let settings: Settings;
let button: HTMLButtonElement;
let region: HTMLElement;
// The page's controls in Tab order, as the binding numbers them.
let fields: (HTMLInputElement | HTMLSelectElement)[] = [];
let kinds: Control['kind'][] = [];
// What an up-down showed when it got the focus, for Escape.
const remembered = new Map<number, string>();

const isOpen = () => !region.hidden;

// Shows what the image holds in every control.
function showValues(): void {
  fields.forEach((field, c) => {
    const shown = settings.shown(c);
    if (field instanceof HTMLSelectElement) field.value = String(shown);
    else if (kinds[c] === 'check') field.checked = shown === 1;
    else if (kinds[c] === 'updown') showNumber(field, c, Number(shown));
    else field.value = String(shown);
  });
}

function showNumber(field: HTMLInputElement, c: number, value: number): void {
  field.value = settings.numberText(c, value);
  field.setAttribute('aria-valuenow', String(value));
  field.setAttribute('aria-valuetext', field.value);
}

// Leaving a text field (or Enter in it): the engine stores and says what it
// shows; a warning comes first as a message box, a note in the status bar.
async function commitText(field: HTMLInputElement, c: number): Promise<void> {
  if (kinds[c] === 'updown') {
    const value = settings.typedNumber(c, field.value);
    if (value !== Number(field.getAttribute('aria-valuenow'))) chooseValue(c, value);
    showNumber(field, c, Number(settings.shown(c)));
    return;
  }
  const commit = settings.commit(c, field.value);
  field.value = commit.text;
  // The transmit frequency follows "Current".
  showValues();
  tellChanged();
  if (commit.note !== '') say(commit.note);
  if (commit.warning !== '') await tell(commit.warning);
}

function chooseValue(c: number, value: number): void {
  settings.choose(c, value);
  showValues();
  tellChanged();
}

// Typed or pasted text keeps only the characters the engine lets in, as it
// turns them.
function filterTyping(field: HTMLInputElement, c: number): void {
  field.addEventListener('beforeinput', (event) => {
    // A paste or a drop carries its text in the data transfer.
    const data = event.data ?? event.dataTransfer?.getData('text/plain') ?? null;
    if (data === null || !event.inputType.startsWith('insert')) return;
    event.preventDefault();
    let kept = '';
    for (const ch of data) kept += settings.accept(c, ch);
    const start = field.selectionStart ?? field.value.length;
    const end = field.selectionEnd ?? start;
    if (kinds[c] === 'updown' && field.value === settings.numberText(c, 0)) field.value = '';
    const room = field.maxLength - (field.value.length - (end - start));
    field.setRangeText(kept.slice(0, Math.max(0, room)), Math.min(start, field.value.length), Math.min(end, field.value.length), 'end');
  });
}

function makeControl(control: Control, c: number): { row: HTMLElement; field: HTMLInputElement | HTMLSelectElement } {
  const row = document.createElement('label');
  const caption = document.createElement('span');
  caption.textContent = control.label;
  let field: HTMLInputElement | HTMLSelectElement;
  if (control.kind === 'list') {
    const list = document.createElement('select');
    list.append(...control.items.map((item, i) => new Option(item, String(i))));
    list.addEventListener('change', () => chooseValue(c, Number(list.value)));
    field = list;
    row.append(caption, list);
  } else {
    const input = document.createElement('input');
    field = input;
    if (control.kind === 'check') {
      input.type = 'checkbox';
      input.addEventListener('change', () => chooseValue(c, Number(input.checked)));
      row.append(input, caption);
      row.className = 'check';
    } else {
      input.maxLength = control.maxLength;
      input.size = control.maxLength + 2;
      row.append(caption, input);
      if (control.kind === 'readonly') {
        input.readOnly = true;
        input.tabIndex = -1;
      } else {
        filterTyping(input, c);
        wireText(input, c, control);
      }
    }
  }
  field.id = `set-${control.name}`;
  if (control.unit !== undefined) row.append(' ', control.unit);
  return { row, field };
}

function wireText(input: HTMLInputElement, c: number, control: Control): void {
  if (control.kind === 'updown') {
    input.setAttribute('role', 'spinbutton');
    input.setAttribute('aria-valuemin', '0');
    input.setAttribute('aria-valuemax', String(control.maximum));
  }
  input.addEventListener('focus', () => {
    remembered.set(c, input.value);
    input.select();
  });
  // The window losing the focus to another application is not leaving.
  input.addEventListener('blur', () => {
    if (document.hasFocus()) void commitText(input, c);
  });
  input.addEventListener('keydown', (event) => {
    if (control.kind !== 'updown') return;
    const now = Number(input.getAttribute('aria-valuenow'));
    if (event.key === 'ArrowUp' || event.key === 'ArrowDown') {
      event.preventDefault();
      const next = Math.min(control.maximum, Math.max(0, now + (event.key === 'ArrowUp' ? 1 : -1)));
      if (next !== now) chooseValue(c, next);
      input.select();
    } else if (event.key === 'Escape') {
      event.preventDefault();
      input.value = remembered.get(c) ?? input.value;
      input.select();
    }
  });
}

// Enter alone moves to the next control in Tab order, as Tab does.
function moveOn(event: KeyboardEvent): void {
  if (event.key !== 'Enter' || event.shiftKey || event.ctrlKey || event.altKey || event.metaKey) return;
  const at = fields.indexOf(event.target as HTMLInputElement);
  if (at < 0) return;
  event.preventDefault();
  fields.slice(at + 1).find((field) => field.tabIndex >= 0)?.focus();
}

// (Re)builds the groups and controls in the session's language, keeping the
// control that has the focus.
function build(): void {
  const focused = document.activeElement?.id;
  const controls = settings.controls();
  kinds = controls.map((control) => control.kind);
  // A group with a caption is a fieldset; one without is only a box.
  const frames: HTMLElement[] = [];
  for (let n = 1; n <= kFrames; ++n) {
    const title = settings.frameTitle(n);
    const frame = document.createElement(title === '' ? 'div' : 'fieldset');
    frame.className = `frame frame${n}`;
    if (title !== '') {
      const legend = document.createElement('legend');
      legend.id = `set-frame${n}`;
      legend.textContent = title;
      frame.appendChild(legend);
    }
    frames.push(frame);
  }
  fields = controls.map((control, c) => {
    const { row, field } = makeControl(control, c);
    const frame = frames[control.frame - 1];
    frame.appendChild(row);
    // The two frequency modes share their captions, so a control in a
    // captioned group is named by the group's caption and its own.
    if (frame instanceof HTMLFieldSetElement) {
      const caption = row.querySelector('span') as HTMLElement;
      caption.id = `${field.id}-label`;
      field.setAttribute('aria-labelledby', `set-frame${control.frame} ${caption.id}`);
    }
    return field;
  });
  const heading = byId('settings-title');
  heading.textContent = settings.title();
  button.textContent = settings.title();
  // The first three groups stack in the left column, as on the desktop.
  const left = document.createElement('div');
  left.className = 'left';
  left.append(...frames.slice(0, 3));
  region.replaceChildren(heading, left, ...frames.slice(3));
  showValues();
  if (focused !== undefined && focused.startsWith('set-')) document.getElementById(focused)?.focus();
}

function showWindow(open: boolean): void {
  region.hidden = !open;
  button.setAttribute('aria-expanded', String(open));
  if (open) {
    settings.reload();
    showValues();
    fields[0].focus();
  }
}

// The window's title and captions in the session's language.
export function showSettingsTexts(): void {
  build();
}

// The window's button into `bar`, its region into `place`.
export function wireSettings(bar: HTMLElement, place: HTMLElement): void {
  settings = new engine.Settings(session) as Settings;
  button = document.createElement('button');
  button.type = 'button';
  button.id = 'win-settings';
  button.setAttribute('aria-controls', 'settings-window');
  bar.appendChild(button);
  region = document.createElement('section');
  region.id = 'settings-window';
  region.className = 'settings';
  region.setAttribute('role', 'region');
  region.setAttribute('aria-labelledby', 'settings-title');
  const heading = document.createElement('h2');
  heading.id = 'settings-title';
  region.appendChild(heading);
  place.appendChild(region);
  region.addEventListener('keydown', moveOn);
  button.addEventListener('click', () => showWindow(region.hidden === true));
  // A save chosen by its key while a text field is still being typed into
  // keeps what was typed, as the desktop's save does.
  window.addEventListener(
    'keydown',
    (event) => {
      const field = document.activeElement;
      const c = fields.indexOf(field as HTMLInputElement);
      if ((event.ctrlKey || event.metaKey) && event.key.toLowerCase() === 's' && c >= 0 && field instanceof HTMLInputElement && kinds[c] !== 'check')
        void commitText(field, c);
    },
    true,
  );
  build();
  showWindow(false);
  onReload(() => {
    if (!isOpen()) return;
    settings.reload();
    showValues();
  });
}
