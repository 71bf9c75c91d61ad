// F6 and Shift+F6 move the focus between the page's parts (the toolbars,
// the channel grid, each open window), as F6 moves between the desktop
// program's panes.  Tab walks the cells inside a grid round and round, so
// from a grid this is the keyboard's way back to the toolbar's commands.
const kPanes = 'header.toolbar, #row-commands, .grid-frame, section[role=region]';
const kFocusable = '[tabindex="0"], button, select, input, textarea';

const shown = (element: Element) => element.checkVisibility();

// The control to focus in `pane`: where the focus was last, else the first.
function controlIn(pane: Element, last: WeakMap<Element, HTMLElement>): HTMLElement | undefined {
  const before = last.get(pane);
  if (before && pane.contains(before) && shown(before) && !(before as HTMLButtonElement).disabled) return before;
  return [...pane.querySelectorAll<HTMLElement>(kFocusable)].find(
    (control) => shown(control) && !(control as HTMLButtonElement).disabled && control.tabIndex >= 0,
  );
}

export function wirePanes(): void {
  const last = new WeakMap<Element, HTMLElement>();
  document.addEventListener('focusin', (event) => {
    const target = event.target as HTMLElement;
    const pane = target.closest?.(kPanes);
    if (pane) last.set(pane, target);
  });
  document.addEventListener('keydown', (event) => {
    if (event.key !== 'F6' || event.ctrlKey || event.altKey || event.metaKey) return;
    if (document.querySelector('dialog[open]')) return;
    const panes = [...document.querySelectorAll(kPanes)].filter((pane) => shown(pane) && controlIn(pane, last));
    if (panes.length === 0) return;
    const at = panes.findIndex((pane) => pane.contains(document.activeElement));
    const step = event.shiftKey ? -1 : 1;
    const next = at < 0 ? (event.shiftKey ? panes.length - 1 : 0) : (at + step + panes.length) % panes.length;
    event.preventDefault();
    controlIn(panes[next], last)?.focus();
  });
}
