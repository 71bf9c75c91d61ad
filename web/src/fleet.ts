// The "Program Several Radios" window: the open codeplug written to every
// chosen granted port at once, each radio its own engine job, with per-radio
// values from a CSV, a row per radio and the results offered as CSV.  In
// watch mode a port granted or plugged in while it is on is written as it
// appears.  With "Back up the radio before writing" on, what each radio
// held is kept first, as a single Write keeps it.  Outcomes, texts and the
// CSV are the engine's.
import { keepBeforeWrite } from './backups';
import { tell } from './dialog';
import { byId, engine, raw, session, text } from './engine';
import type { SerialPortLike } from './port_types';
import { webSerial } from './port_types';
import { backupFirst } from './safety';
import { grantedPorts, requestPort, SerialLine } from './serial';
import { say } from './status';
import { chooseText, export_, kCsv } from './transfer_files';

// String-table numbers of the texts this window shows.
const T = {
  title: 1750, ports: 1751, valuesCsv: 1754, browse: 1755, verify: 1756, watch: 1757, start: 1758, stop: 1759,
  close: 1760, another: 10422, serial: 10423, choosePort: 10220, valuesUnusable: 10221, saveResults: 1580, waiting: 1776, working: 1774,
};

interface Row { port: string; values: string; outcome: string; time: string; succeeded: boolean }
interface Fleet {
  begin(csv: string): string;
  write(port: string, line: SerialLine, face: object, verify: boolean, backupFirst: boolean): boolean;
  kept(port: string, refusal: string): void;
  stop(): void;
  running(): boolean;
  received(port: string, bytes: Uint8Array): void;
  timer(port: string): void;
  failed(port: string, reason: string): void;
  headings(): string[];
  summary(): string;
  csv(): string;
}

let fleet: Fleet;
let ports: SerialPortLike[] = [];
let values: { name: string; text: string } | null = null;
let watching = false;
const busy = new Set<SerialPortLike>();
const kProgressRedraw = 100; // ms

const control = <E extends HTMLElement>(name: string) => byId<E>(`fleet-${name}`);
const position = (port: SerialPortLike) => String(ports.indexOf(port) + 1);
const portName = (port: SerialPortLike) => text(T.serial, position(port));

function showPorts(): void {
  const list = control('ports');
  const chosen = new Set([...list.querySelectorAll<HTMLInputElement>('input:not(:checked)')].map((box) => box.value));
  list.replaceChildren(...ports.map((port) => {
    const item = document.createElement('li');
    const label = document.createElement('label');
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.value = position(port);
    box.checked = !chosen.has(box.value);
    label.append(box, ' ', portName(port));
    item.appendChild(label);
    return item;
  }));
}

function showControls(): void {
  const running = fleet.running() || watching;
  for (const name of ['start', 'browse', 'verify', 'watch']) control<HTMLInputElement>(name).disabled = running;
  control<HTMLButtonElement>('stop').disabled = !running;
  control<HTMLButtonElement>('results').disabled = running || control('rows').childElementCount === 0;
}

function showSummary(): void {
  const summary = fleet.summary();
  // Nothing until a radio has finished, as on the desktop.
  const shown = control('rows').querySelector('td[data-succeeded]') ? summary : '';
  control('summary').textContent = watching && busy.size === 0 ? `${raw(T.waiting)} ${shown}`.trim() : shown;
}

// The window's texts in the session's language.
export function showFleetTexts(): void {
  const title = text(T.title);
  byId('win-fleet').textContent = title;
  control('title').textContent = title;
  control('ports-legend').textContent = text(T.ports);
  control('another').textContent = raw(T.another);
  control('values-label').textContent = text(T.valuesCsv);
  control('browse').textContent = raw(T.browse);
  control('verify-label').textContent = text(T.verify);
  control('watch-label').textContent = text(T.watch);
  control('start').textContent = text(T.start);
  control('stop').textContent = text(T.stop);
  control('results').textContent = raw(T.saveResults);
  control('close').textContent = text(T.close);
  const headings = fleet.headings();
  control('head').replaceChildren(...headings.map((heading) => Object.assign(document.createElement('th'), { scope: 'col', textContent: heading })));
  showPorts();
}

function addRow(port: SerialPortLike): { progress: HTMLProgressElement; cells: HTMLTableCellElement[] } {
  const row = document.createElement('tr');
  const cells = [0, 1, 2, 3, 4].map(() => document.createElement('td'));
  cells[0].textContent = portName(port);
  const progress = document.createElement('progress');
  progress.max = 1;
  progress.value = 0;
  progress.setAttribute('aria-label', `${portName(port)} ${fleet.headings()[2]}`);
  cells[2].appendChild(progress);
  cells[3].textContent = raw(T.working);
  row.append(...cells);
  control('rows').appendChild(row);
  return { progress, cells };
}

// Writes the open codeplug to the radio on `port`; its row shows how it goes.
async function program(port: SerialPortLike): Promise<void> {
  if (busy.has(port)) return;
  busy.add(port);
  const name = position(port);
  const { progress, cells } = addRow(port);
  const line = new SerialLine(port);
  let shown: { value: number; maximum: number } | undefined;
  const finished = new Promise<Row | null>((resolve) => {
    const face = {
      progress(value: number, maximum: number) {
        // Drawn a few times a second: redrawing every radio on every frame
        // takes from the processor what the transfers' pace needs.
        const draw = !shown;
        shown = { value, maximum };
        if (draw) setTimeout(() => {
          progress.max = shown?.maximum ?? 1;
          progress.value = shown?.value ?? 0;
          shown = undefined;
        }, kProgressRedraw);
      },
      // What the radio held, kept before it is written when asked.
      keep(held: Uint8Array) {
        void keepBeforeWrite(held, portName(port)).then((refusal) => fleet.kept(name, refusal));
      },
      finished: resolve,
    };
    void line.start({ received: (bytes) => fleet.received(name, bytes), timer: () => fleet.timer(name), failed: (reason) => fleet.failed(name, reason) })
      .then(() => { if (!fleet.write(name, line, face, control<HTMLInputElement>('verify').checked, backupFirst())) resolve(null); });
  });
  showControls();
  const row = await finished;
  if (!row) {
    // Its port is still in a job of this run.
    cells[0].parentElement?.remove();
    await line.stop();
    busy.delete(port);
    return;
  }
  cells[1].textContent = row.values;
  cells[3].textContent = row.outcome;
  cells[3].dataset.succeeded = String(row.succeeded);
  cells[4].textContent = row.time;
  await line.stop();
  busy.delete(port);
  say(`${portName(port)}: ${row.outcome}`);
  showSummary();
  showControls();
}

async function start(): Promise<void> {
  if (fleet.running() || watching) return;
  ports = await grantedPorts();
  showPorts();
  const chosen = [...control('ports').querySelectorAll<HTMLInputElement>('input:checked')].map((box) => ports[Number(box.value) - 1]);
  watching = control<HTMLInputElement>('watch').checked;
  if (chosen.length === 0 && !watching) return tell(text(T.choosePort));
  const refusal = fleet.begin(values?.text ?? '');
  if (refusal !== '') {
    watching = false;
    return tell(`${text(T.valuesUnusable)}\n\n${refusal}`);
  }
  control('rows').replaceChildren();
  showSummary();
  await Promise.all(chosen.map(program));
}

function stop(): void {
  watching = false;
  fleet.stop();
  showSummary();
  showControls();
}

// A port granted or plugged in while watching is written as it appears.
async function appeared(port?: SerialPortLike): Promise<void> {
  ports = await grantedPorts();
  showPorts();
  if (watching && port && ports.includes(port)) await program(port);
}

function showWindow(shown: boolean): void {
  control('window').hidden = !shown;
  byId('win-fleet').setAttribute('aria-expanded', String(shown));
  if (shown) {
    void grantedPorts().then((granted) => { ports = granted; showPorts(); });
    control<HTMLButtonElement>('another').focus();
  }
}

// The window's button into `bar`, the window itself is `region`.
export function wireFleet(bar: HTMLElement): void {
  fleet = new engine.Fleet(session) as Fleet;
  const button = document.createElement('button');
  button.type = 'button';
  button.id = 'win-fleet';
  button.setAttribute('aria-controls', 'fleet-window');
  bar.appendChild(button);
  button.addEventListener('click', () => showWindow(control('window').hidden === true));
  control('another').addEventListener('click', async () => {
    const port = await requestPort();
    if (port) await appeared(port);
  });
  control('browse').addEventListener('click', async () => {
    values = await chooseText('.csv,text/csv');
    control<HTMLOutputElement>('values').value = values?.name ?? '';
  });
  control('start').addEventListener('click', () => void start());
  control('stop').addEventListener('click', stop);
  control('results').addEventListener('click', () => void export_('results.csv', fleet.csv(), kCsv, 'text/csv'));
  // Closing stops the radios first, so no transfer is left half done unseen.
  const close = () => { stop(); showWindow(false); button.focus(); };
  control('close').addEventListener('click', close);
  control('window').addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && !event.defaultPrevented) close();
  });
  const serial = webSerial();
  serial?.addEventListener('connect', (event) => void appeared(event.target as unknown as SerialPortLike));
  byId('language').addEventListener('change', showFleetTexts);
  showFleetTexts();
  showWindow(false);
  showControls();
}
