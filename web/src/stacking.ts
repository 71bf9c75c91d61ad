// Open windows lie over the channel grid and over one another, as the
// desktop program's windows do; as there, the one the user turns to comes
// to the front.  A window comes forward when the focus or the pointer
// enters it; the grid comes forward only when the cell the keyboard moved
// to lies under a window, so the focus is never hidden.
const kGrid = '.grid-frame';
let front = 10;

// The layer `element` belongs to: the grid's frame, or the fixed box of a
// window (a group of windows shares one).
function layerOf(element: Element): HTMLElement | null {
  for (let at: Element | null = element; at && at !== document.body; at = at.parentElement) {
    if (at.matches(kGrid) || getComputedStyle(at).position === 'fixed') return at as HTMLElement;
  }
  return null;
}

function covered(target: HTMLElement, layer: HTMLElement): boolean {
  const box = target.getBoundingClientRect();
  const x = Math.min(Math.max(box.left + box.width / 2, 0), innerWidth - 1);
  const y = Math.min(Math.max(box.top + box.height / 2, 0), innerHeight - 1);
  const seen = document.elementFromPoint(x, y);
  return !!seen && !layer.contains(seen);
}

function raise(layer: HTMLElement): void {
  if (Number(layer.style.zIndex) !== front) layer.style.zIndex = String(++front);
}

export function wireStacking(): void {
  document.addEventListener('focusin', (event) => {
    const target = event.target as HTMLElement;
    const layer = layerOf(target);
    if (layer && (!layer.matches(kGrid) || covered(target, layer))) raise(layer);
  });
  document.addEventListener('pointerdown', (event) => {
    const layer = layerOf(event.target as Element);
    if (layer && !layer.matches(kGrid)) raise(layer);
  });
}
