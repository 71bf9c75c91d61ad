// Read and Write from the page: the port list, the verify switch, the
// progress bar and every message of a programming job.  The job, its
// protocol, questions and texts are the engine's; this only opens the port,
// moves bytes and shows what the engine says.
import { ask, type ButtonText } from './dialog';
import { byId, engine, raw, session, text } from './engine';
import { isEditing } from './grid';
import type { SerialPortLike } from './port_types';
import { webSerial } from './port_types';
import { grantedPorts, requestPort, SerialLine } from './serial';
import { say } from './status';
import { createVirtualRadio, faultSwitches } from './virtual_radio';
import { keepBeforeWrite } from './backups';
import { keepLinkLog } from './link_log';
import { backupFirst } from './safety';

// String-table numbers of the texts this part shows.
const T = { read: 1035, write: 1036, port: 1761, stop: 1759, verify: 10420, virtual: 1970, another: 10422, serial: 10423, missing: 10424 };
const kVirtual = 'virtual';
const kAnother = 'another';
const kProgressRedraw = 100; // ms
const kSpokenSteps = 4;

// A message or question as the engine composes it.
interface JobMessage { kind: string; text: string; buttons: ButtonText[]; accept: ButtonText; defaultButton: ButtonText }
interface Job {
  checkQuestion(): JobMessage | null;
  read(port: string): boolean;
  write(port: string, verify: boolean): boolean;
  writeBackingUp(port: string, verify: boolean): boolean;
  linkLog(): string;
  stop(): void;
  answer(yes: boolean): void;
  refuse(reason: string): void;
  running(): boolean;
  received(bytes: Uint8Array): void;
  timer(): void;
  failed(reason: string): void;
  delete(): void;
}
interface Ended { message: JobMessage; outcome: string; image: Uint8Array | null }

let ports: SerialPortLike[] = [];
let current: { job: Job; line: SerialLine } | undefined;
let onChange: () => void = () => undefined;

const portSelect = () => byId<HTMLSelectElement>('port');

// A granted port as the list names it: "Serial port 2 (USB 1A86:7523)".
function portLabel(port: SerialPortLike, index: number): string {
  const info = port.getInfo();
  const hex = (n: number) => n.toString(16).toUpperCase().padStart(4, '0');
  const usb = info.usbVendorId !== undefined && info.usbProductId !== undefined ? ` (USB ${hex(info.usbVendorId)}:${hex(info.usbProductId)})` : '';
  return text(T.serial, String(index + 1)) + usb;
}

function fillPorts(select?: string): void {
  const list = portSelect();
  const keep = select ?? list.value;
  const entries: [string, string][] = ports.map((port, i) => [String(i), portLabel(port, i)]);
  entries.push([kVirtual, text(T.virtual)]);
  if (webSerial()) entries.push([kAnother, raw(T.another)]);
  list.replaceChildren(...entries.map(([value, label]) => new Option(label, value)));
  const values = entries.map(([value]) => value);
  // No port granted yet: the real-port entry, so Read asks the browser.
  list.value = values.includes(keep) ? keep : ports.length > 0 ? '0' : webSerial() ? kAnother : kVirtual;
  markPort();
}

// The virtual radio's fault switches show only while it is the chosen port.
function markPort(): void {
  document.body.dataset.port = portSelect().value === kVirtual ? 'virtual' : 'serial';
}

// The texts of the controls, again after a language switch.
export function showTransferTexts(): void {
  byId('read').textContent = text(T.read);
  byId('write').textContent = text(T.write);
  byId('stop').textContent = text(T.stop);
  byId('port-label').textContent = text(T.port);
  byId('verify-label').textContent = text(T.verify);
  byId('serial-missing').textContent = raw(T.missing);
  fillPorts();
}

// The chosen port, asking the browser for one where the list says so;
// `refused` hears why the browser gave none.
export async function chosenPort(refused?: (error: unknown) => void): Promise<{ port: SerialPortLike; name: string } | undefined> {
  const list = portSelect();
  if (list.value === kVirtual) {
    const port = createVirtualRadio(faultSwitches);
    return { port, name: text(T.virtual) };
  }
  if (list.value === kAnother) {
    const port = await requestPort(refused);
    if (!port) return undefined;
    if (!ports.includes(port)) ports.push(port);
    fillPorts(String(ports.indexOf(port)));
  }
  const index = Number(list.value);
  return { port: ports[index], name: portLabel(ports[index], index) };
}

function setRunning(running: boolean): void {
  document.body.dataset.transfer = running ? 'running' : 'idle';
  for (const id of ['read', 'write', 'port', 'new', 'open']) {
    const control = document.getElementById(id) as HTMLButtonElement | null;
    if (control) control.disabled = running;
  }
  byId<HTMLButtonElement>('stop').hidden = !running;
  byId<HTMLButtonElement>('stop').disabled = !running;
  byId('progress-area').hidden = !running;
}

const show = (message: JobMessage) => ask(message.text, message.buttons, { preferred: message.defaultButton });

async function transfer(writing: boolean): Promise<void> {
  if (current) return;
  const verify = byId<HTMLInputElement>('verify').checked;
  const chosen = await chosenPort();
  if (!chosen) return;
  const line = new SerialLine(chosen.port);
  let finish: (ended: Ended) => void = () => undefined;
  const ended = new Promise<Ended>((resolve) => { finish = resolve; });
  const progress = byId<HTMLProgressElement>('progress');
  const progressText = byId('progress-text');
  let shown = { value: 0, maximum: 0, text: '' };
  let drawing = false;
  // Spoken at each quarter of a stage: a screen reader reading every block
  // would never finish.
  const spoken = byId('progress-spoken');
  let quarter = 0;
  const job: Job = new engine.Job(session, line, {
    stage(stageText: string, maximum: number) {
      progress.max = maximum;
      progress.value = 0;
      progressText.textContent = stageText;
      quarter = 0;
      spoken.textContent = '';
      say(stageText);
    },
    progress(value: number, maximum: number, valueText: string) {
      // Drawn a few times a second: a page redrawn on every frame takes
      // from the processor what the transfer's pace needs.
      shown = { value, maximum, text: valueText };
      const reached = maximum > 0 ? Math.floor((value * kSpokenSteps) / maximum) : 0;
      if (reached > quarter) {
        quarter = reached;
        spoken.textContent = valueText;
      }
      if (drawing) return;
      drawing = true;
      setTimeout(() => {
        drawing = false;
        progress.max = shown.maximum;
        progress.value = shown.value;
        progressText.textContent = shown.text;
      }, kProgressRedraw);
    },
    ask(question: JobMessage) {
      void show(question).then((answer) => current?.job.answer(answer === question.accept));
    },
    keep(held: Uint8Array) {
      // What the radio held before this Write, kept as the desktop keeps it;
      // the Write goes on only once it is kept.
      void keepBeforeWrite(held, chosen.name).then((refusal) => (refusal ? current?.job.refuse(refusal) : current?.job.answer(true)));
    },
    finished(message: JobMessage, outcome: string, image: Uint8Array | null) {
      finish({ message, outcome, image });
    },
  });
  if (writing) {
    const question = job.checkQuestion();
    if (question && (await show(question)) !== question.accept) {
      job.delete();
      return;
    }
  }
  current = { job, line };
  setRunning(true);
  await line.start({ received: (bytes) => job.received(bytes), timer: () => job.timer(), failed: (reason) => job.failed(reason) });
  const write = () => (backupFirst() ? job.writeBackingUp(chosen.name, verify) : job.write(chosen.name, verify));
  if (!(writing ? write() : job.read(chosen.name))) finish({ message: { text: '' } as JobMessage, outcome: 'refused', image: null });
  const { message, outcome, image } = await ended;
  await line.stop();
  current = undefined;
  keepLinkLog(job.linkLog());
  // The job is deleted on a later turn, never inside its own callback.
  job.delete();
  if (image) onChange();
  setRunning(false);
  if (outcome === 'stopped') say('');
  if (message.text === '') return;
  say(message.text);
  const answered = show(message);
  if (image) window.dispatchEvent(new CustomEvent('orvex-read', { detail: { image, port: chosen.name } }));
  await answered;
}

// Ends a running transfer at once and closes its port.
export function stopTransfer(): void {
  current?.job.stop();
}

export const isTransferring = () => current !== undefined;

// Wires the controls; `changed` redraws the grid and the title after a Read.
export async function setUpTransfer(changed: () => void): Promise<void> {
  onChange = changed;
  const serial = webSerial();
  byId('serial-missing').hidden = serial !== undefined;
  byId('read').addEventListener('click', () => void transfer(false));
  byId('write').addEventListener('click', () => void transfer(true));
  byId('stop').addEventListener('click', stopTransfer);
  portSelect().addEventListener('change', markPort);
  document.addEventListener('keydown', (event) => {
    // Escape in a cell editor or a box answers there.
    if (event.key === 'Escape' && current && !isEditing() && !byId<HTMLDialogElement>('dialog').open) stopTransfer();
  });
  if (serial) {
    ports = await grantedPorts();
    serial.addEventListener('connect', () => void grantedPorts().then((granted) => { ports = granted; fillPorts(); }));
    serial.addEventListener('disconnect', () => void grantedPorts().then((granted) => { ports = granted; fillPorts(); }));
  }
  showTransferTexts();
  setRunning(false);
}
