// A window of the page as the desktop's editing windows are: a region with
// the window's title as its heading, opened and closed from a button in the
// toolbar carrying that title.
export interface PageWindow {
  button: HTMLButtonElement;
  region: HTMLElement;
}

export function showWindow(window: PageWindow, open: boolean): void {
  window.region.hidden = !open;
  window.button.setAttribute('aria-expanded', String(open));
}

// The window `kind`'s button into `bar` and its region (`<kind>-window`,
// headed by `<kind>-title`, filled by `build`) into `place`; `opened` runs
// each time the button opens it.
export function wireWindow(bar: HTMLElement, place: HTMLElement, kind: string, build: (region: HTMLElement) => void,
                           opened: () => void): PageWindow {
  const button = document.createElement('button');
  button.type = 'button';
  button.id = `win-${kind}`;
  button.setAttribute('aria-controls', `${kind}-window`);
  bar.appendChild(button);
  const region = document.createElement('section');
  region.id = `${kind}-window`;
  region.className = 'signalling';
  region.setAttribute('role', 'region');
  region.setAttribute('aria-labelledby', `${kind}-title`);
  const title = document.createElement('h2');
  title.id = `${kind}-title`;
  region.appendChild(title);
  build(region);
  place.appendChild(region);
  const window = { button, region };
  button.addEventListener('click', () => {
    const open = region.hidden === true;
    // Opening builds nothing: the regions exist from the start, so the
    // page's texts reach them in either state.
    showWindow(window, open);
    if (open) opened();
  });
  return window;
}

// Enter in `control` moves the focus on to the window's next control, round
// to the first after the last, as the desktop window's Enter does.
export function moveOnEnter(control: HTMLElement, region: HTMLElement, before: () => void = () => {}): void {
  control.addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' || event.ctrlKey || event.altKey || event.metaKey) return;
    event.preventDefault();
    before();
    const controls = Array.from(region.querySelectorAll<HTMLElement>('input, select, button, [tabindex="0"]')).filter(
      (c) => !(c as HTMLInputElement).disabled,
    );
    controls[(controls.indexOf(control) + 1) % controls.length]?.focus();
  });
}
