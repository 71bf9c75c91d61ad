// The safety net's commands: Back up the radio before writing (a switch the
// page remembers), Compare With... a .tw file, Test Cable... and Save Link
// Log..., with the desktop program's captions.
import { byId, text } from './engine';
import { testCable, wireCableTest } from './cable_test';
import { showComparison, wireCompare } from './compare';
import { pickTw } from './files';
import { caption } from './transfer_files';
import { saveLinkLog } from './link_log';

const T = { backupFirst: 1600, compare: 1601, saveLinkLog: 1602, testCable: 1694 };
const kBackupFirstKey = 'orvex.backupFirst';

// Whether a Write first reads the radio and keeps what it held.
export const backupFirst = () => byId<HTMLInputElement>('backup-first').checked;

async function compareWithFile(): Promise<void> {
  const picked = await pickTw(byId<HTMLInputElement>('compare-file'));
  if (picked) await showComparison(picked.handle.name, picked.bytes);
}

export function showSafetyTexts(): void {
  byId('backup-first-label').textContent = text(T.backupFirst);
  byId('compare').textContent = caption(T.compare);
  byId('test-cable').textContent = text(T.testCable) + '...';
  byId('save-link-log').textContent = caption(T.saveLinkLog);
}

export function wireSafety(): void {
  const remembered = byId<HTMLInputElement>('backup-first');
  remembered.checked = localStorage.getItem(kBackupFirstKey) === 'true';
  remembered.addEventListener('change', () => localStorage.setItem(kBackupFirstKey, String(remembered.checked)));
  byId('compare').addEventListener('click', () => void compareWithFile());
  byId<HTMLInputElement>('compare-file').addEventListener('change', async (event) => {
    const input = event.target as HTMLInputElement;
    const file = input.files?.[0];
    input.value = '';
    if (file) await showComparison(file.name, new Uint8Array(await file.arrayBuffer()));
  });
  byId('test-cable').addEventListener('click', () => void testCable());
  byId('save-link-log').addEventListener('click', () => void saveLinkLog());
  wireCompare();
  wireCableTest();
}
