// The browser face of ORVEX: wires the page's controls to the engine
// module; every rule, text and codec is the engine's.
import { byId, loadEngine, session, text } from './engine';
import { newCodeplug, open, save } from './files';
import { buildGrid, isEditing, onGridChange, refreshCells } from './grid';
import { showFaultSwitchTexts } from './virtual_radio';
import { saveAs, showFileTexts, wireFiles } from './transfer_files';
import { showRowTexts, wireRows } from './rows';
import { showBackupTexts, wireBackups } from './backups';
import { setUpTransfer, showTransferTexts } from './transfer';
import { isReloading, keepOffline, showUpdateTexts } from './update';
import { printChannels, showPrintTexts, wirePrint } from './print';
import { isMemoryMapOpen, openMemoryMap, showMemoryMapTexts, wireMemoryMap } from './memory_map';
import { showSignallingTexts, wireSignalling } from './signalling';
import { wirePanes } from './panes';
import { wireStacking } from './stacking';
import { showKeyTexts, wireKey } from './key';
import { showScramblerTexts, wireScrambler } from './scrambler';
import { showSettingsTexts, wireSettings } from './settings';
import { wireFleet } from './fleet';
import { showSafetyTexts, wireSafety } from './safety';

// String-table numbers of the texts the page shows.
const T = { new: 1031, open: 1032, save: 1033, language: 1022, english: 1181, chinese: 1182, undo: 1620, redo: 1621 };
const kLanguageKey = 'orvex.language';

function showTexts(): void {
  byId('new').textContent = text(T.new);
  byId('open').textContent = text(T.open) + '...';
  byId('save').textContent = text(T.save);
  byId('language-label').textContent = text(T.language);
  const options = byId<HTMLSelectElement>('language').options;
  options[0].textContent = text(T.english);
  options[1].textContent = text(T.chinese);
  byId<HTMLSelectElement>('language').value = String(session.language());
  showTransferTexts();
  document.documentElement.lang = session.language() === 1 ? 'zh' : 'en';
  showFaultSwitchTexts();
  showFileTexts();
  showRowTexts();
  showBackupTexts();
  showUpdateTexts();
  showPrintTexts();
  showMemoryMapTexts();
  showSignallingTexts();
  showKeyTexts();
  showScramblerTexts();
  showSettingsTexts();
  showSafetyTexts();
  showState();
}

function showState(): void {
  document.title = session.title();
  const undo = byId<HTMLButtonElement>('undo');
  const redo = byId<HTMLButtonElement>('redo');
  undo.textContent = text(T.undo, session.undoName());
  redo.textContent = text(T.redo, session.redoName());
  undo.disabled = session.undoName() === '';
  redo.disabled = session.redoName() === '';
}

const afterMemoryMap = () => { refreshCells(); byId('grid').querySelector<HTMLElement>('td[tabindex="0"]')?.focus(); };

document.addEventListener('keydown', (event) => {
  if (!(event.ctrlKey || event.metaKey) || isEditing() || byId<HTMLDialogElement>('dialog').open || isMemoryMapOpen()) return;
  const key = event.key.toLowerCase();
  if (event.code === 'KeyM' && event.shiftKey && event.altKey) openMemoryMap(afterMemoryMap);
  else if (key === 'p' && !event.shiftKey && !event.altKey) printChannels();
  else if (key === 'z') session.undo();
  else if (key === 'y') session.redo();
  else if (key === 's') void (event.shiftKey ? saveAs() : save());
  else return;
  event.preventDefault();
  refreshCells();
});

byId('new').addEventListener('click', () => void newCodeplug());
byId('open').addEventListener('click', () => void open());
byId('save').addEventListener('click', () => void save());
wireFiles();
wireRows();
wireBackups();
wirePrint();
wireMemoryMap(afterMemoryMap);
wirePanes();
wireStacking();
byId('undo').addEventListener('click', () => { session.undo(); refreshCells(); });
byId('redo').addEventListener('click', () => { session.redo(); refreshCells(); });
byId<HTMLSelectElement>('language').addEventListener('change', (event) => {
  const language = Number((event.target as HTMLSelectElement).value);
  localStorage.setItem(kLanguageKey, String(language));
  session.setLanguage(language);
  showTexts();
  buildGrid();
});
window.addEventListener('beforeunload', (event) => {
  if (session?.modified() && !isReloading()) event.preventDefault();
});

async function start(): Promise<void> {
  await loadEngine();
  // The window buttons in the desktop's Window menu order.
  wireSettings(byId('windows'), byId('settings-windows'));
  wireKey(byId('windows'), byId('key-scrambler-windows'));
  wireScrambler(byId('windows'), byId('key-scrambler-windows'));
  wireSignalling(byId('windows'), byId('signalling-windows'));
  wireSafety();
  session.setLanguage(Number(localStorage.getItem(kLanguageKey) ?? 0) === 1 ? 1 : 0);
  wireFleet(byId('windows'));
  onGridChange(showState);
  await setUpTransfer(refreshCells);
  showTexts();
  buildGrid();
  document.body.dataset.ready = 'true';
  void keepOffline();
}

void start();
