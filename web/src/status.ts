// The status line, which is also the live region a screen reader announces.
import { byId } from './engine';

export function say(message: string): void {
  byId<HTMLParagraphElement>('status').textContent = message;
}
