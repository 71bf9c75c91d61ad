// The link log: the frames of the last transfer or cable test, as the
// engine writes them (the desktop program's Save Link Log... text), saved as
// a download.
import { raw } from './engine';
import { tell } from './dialog';
import { deliver } from './files';

const T = { none: 10167 };
const kName = 'orvex-link-log.txt';

let last = '';

// The log of the transfer or test that just ended.
export function keepLinkLog(text: string): void {
  last = text;
}

export const linkLog = () => last;

export async function saveLinkLog(): Promise<void> {
  if (last === '') {
    await tell(raw(T.none));
    return;
  }
  await deliver(kName, new TextEncoder().encode(last), null, 'text/plain');
}
