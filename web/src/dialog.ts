// The page's own message box: a modal <dialog> with the desktop program's
// buttons, answering with the button chosen (Escape is the last one, as
// Cancel or No).  A question never blocks the engine: it waits on a promise.
import { byId, text } from './engine';

// String-table numbers of the buttons.
export const Button = { yes: 1044, no: 1045, retry: 1046, ok: 1156, cancel: 1157 } as const;
export type ButtonText = (typeof Button)[keyof typeof Button];

let queue: Promise<unknown> = Promise.resolve();

function show(message: string, buttons: ButtonText[], fallback: ButtonText, labels: Labels, preferred: ButtonText): Promise<ButtonText> {
  const box = byId<HTMLDialogElement>('dialog');
  byId('dialog-text').textContent = message;
  const row = byId('dialog-buttons');
  row.replaceChildren();
  return new Promise((resolve) => {
    const answer = (button: ButtonText) => {
      box.close();
      resolve(button);
    };
    for (const button of buttons) {
      const element = document.createElement('button');
      element.type = 'button';
      element.textContent = labels[button] ?? text(button);
      element.dataset.answer = String(button);
      element.addEventListener('click', () => answer(button));
      row.appendChild(element);
    }
    box.oncancel = (event) => {
      event.preventDefault();
      answer(fallback);
    };
    box.showModal();
    row.querySelector<HTMLButtonElement>(`button[data-answer="${preferred}"]`)?.focus();
  });
}

// Texts for buttons that read otherwise ("Import the 12 usable rows").
export type Labels = Partial<Record<number, string>>;
export interface AskOptions { labels?: Labels; preferred?: ButtonText }

// Shows `message` with `buttons`, `preferred` (else the first) focused; the
// answer is the button chosen.  Boxes asked for while one is open wait
// their turn.
export function ask(message: string, buttons: ButtonText[] = [Button.ok], options: AskOptions = {}): Promise<ButtonText> {
  const fallback = buttons[buttons.length - 1];
  const next = queue.then(() => show(message, buttons, fallback, options.labels ?? {}, options.preferred ?? buttons[0]));
  queue = next.catch(() => undefined);
  return next;
}

export const tell = (message: string) => ask(message, [Button.ok]).then(() => undefined);
