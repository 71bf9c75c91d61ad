// The Key Assignment window: the radio's picture with a group per key laid
// beside it and a leader line from each group to its key's mark, as the
// desktop window draws them.  Only the side key's function is chosen; each
// choice is stored at once as one undo step.
import { byId, engine, session } from './engine';
import { onReload, tellChanged } from './grid';
import { moveOnEnter, type PageWindow, showWindow, wireWindow } from './page_window';

interface KeyCaptions {
  window: string;
  pttGroup: string;
  pttKey: string;
  pttFunction: string;
  sideKeyGroup: string;
  moniGroup: string;
  longPress: string;
  longPressAction: string;
  slightPress: string;
  slightPressAction: string;
  picture: string;
  items: string[];
}

// The binding's class for the window.
interface KeyAssignment {
  open(): void;
  reload(): void;
  captions(): KeyCaptions;
  chosen(): number;
  choose(position: number): void;
}

const kSvg = 'http://www.w3.org/2000/svg';
let key: KeyAssignment;
let keyWindow: PageWindow;

const list = () => byId<HTMLSelectElement>('key-side');

// A group with its legend and, for the fixed keys, "name  function" lines.
function group(id: string, lines: number): HTMLFieldSetElement {
  const frame = document.createElement('fieldset');
  frame.id = id;
  const legend = document.createElement('legend');
  legend.id = `${id}-legend`;
  frame.appendChild(legend);
  for (let line = 0; line < lines; ++line) {
    const row = document.createElement('div');
    row.className = 'key-line';
    for (const part of ['name', 'action']) {
      const text = document.createElement('span');
      text.id = `${id}-${part}${line}`;
      row.appendChild(text);
    }
    frame.appendChild(row);
  }
  return frame;
}

function build(region: HTMLElement): void {
  const picture = document.createElement('div');
  picture.className = 'key-picture';
  const groups = document.createElement('div');
  groups.className = 'key-groups';
  const side = group('key-pf1', 0);
  const select = document.createElement('select');
  select.id = 'key-side';
  select.setAttribute('aria-labelledby', 'key-pf1-legend');
  side.appendChild(select);
  groups.append(group('key-ptt', 1), side, group('key-moni', 2));
  const radio = document.createElement('div');
  radio.className = 'key-radio';
  const image = document.createElement('img');
  image.id = 'key-radio';
  image.src = 'radio.svg';
  radio.appendChild(image);
  for (const mark of engine.KeyAssignment.marks() as { x: number; y: number }[]) {
    const dot = document.createElement('span');
    dot.className = 'key-mark';
    dot.style.left = `${mark.x * 100}%`;
    dot.style.top = `${mark.y * 100}%`;
    radio.appendChild(dot);
  }
  const lines = document.createElementNS(kSvg, 'svg');
  lines.id = 'key-lines';
  lines.setAttribute('aria-hidden', 'true');
  picture.append(groups, radio, lines);
  region.appendChild(picture);

  select.addEventListener('change', () => {
    key.choose(select.selectedIndex);
    tellChanged();
  });
  moveOnEnter(select, region);
  new ResizeObserver(drawLines).observe(picture);
  image.addEventListener('load', drawLines);
}

// A leader line from the right edge of each group to its key's mark.
function drawLines(): void {
  const svg = byId('key-lines');
  const origin = svg.getBoundingClientRect();
  const marks = Array.from(document.querySelectorAll<HTMLElement>('#key-window .key-mark'));
  const paths = ['key-ptt', 'key-pf1', 'key-moni'].map((id, k) => {
    const from = byId(id).getBoundingClientRect();
    const to = marks[k].getBoundingClientRect();
    const [x0, y0] = [from.right - origin.left + 2, from.top + from.height / 2 - origin.top];
    const [x1, y1] = [to.left + to.width / 2 - origin.left, to.top + to.height / 2 - origin.top];
    const bend = x0 + (x1 - x0) / 2;
    const line = document.createElementNS(kSvg, 'polyline');
    line.setAttribute('points', `${x0},${y0} ${bend},${y0} ${x1},${y1}`);
    return line;
  });
  svg.replaceChildren(...paths);
}

function showValue(): void {
  list().selectedIndex = key.chosen();
}

// The captions and items in the session's language; the chosen position
// stays.
export function showKeyTexts(): void {
  const captions = key.captions();
  keyWindow.button.textContent = captions.window;
  byId('key-title').textContent = captions.window;
  byId('key-ptt-legend').textContent = captions.pttGroup;
  byId('key-pf1-legend').textContent = captions.sideKeyGroup;
  byId('key-moni-legend').textContent = captions.moniGroup;
  const lines = [
    ['key-ptt', 0, captions.pttKey, captions.pttFunction],
    ['key-moni', 0, captions.longPress, captions.longPressAction],
    ['key-moni', 1, captions.slightPress, captions.slightPressAction],
  ] as const;
  for (const [id, line, name, action] of lines) {
    byId(`${id}-name${line}`).textContent = name;
    byId(`${id}-action${line}`).textContent = action;
  }
  byId<HTMLImageElement>('key-radio').alt = captions.picture;
  list().replaceChildren(...captions.items.map((item) => new Option(item)));
  if (!keyWindow.region.hidden) {
    key.reload();
    drawLines();
  }
  showValue();
}

export function wireKey(bar: HTMLElement, place: HTMLElement): void {
  key = new engine.KeyAssignment(session) as KeyAssignment;
  keyWindow = wireWindow(bar, place, 'key', build, () => {
    key.open();
    showValue();
    tellChanged();
    drawLines();
    list().focus();
  });
  // The window shows the image again after an undo, a Read, an Open...
  onReload(() => {
    if (keyWindow.region.hidden) return;
    key.reload();
    showValue();
  });
  showWindow(keyWindow, false);
}
