// A walk over what a screen reader finds, in English and in Chinese:
// Chromium's accessibility tree (the DevTools protocol's getFullAXTree for
// the main page, queryAXTree for each window's own part) over the main
// page, every window whose button is in the toolbar's #windows span, the
// backups panel, the cable test, a comparison, the memory map (in full in
// English), the row menu and a question.  In each window no control (and nothing focusable) is without
// a name and no two controls of one role share a name; every finding is
// printed with its role, name and window before the walk fails.  The walk
// also checks that Tab reaches every control of the toolbars and the
// channel grid, each with a focus ring, that F6 leaves the grid and
// Shift+F6 comes back, that the windows open by Enter and Space, that a
// cell the keyboard moves to under a window comes to the front, and what
// the first accessibility check asked: a focused cell spoken whole, the
// current cell in view below the sticky headings, a question named by its
// message.
//   node web/test/accessibility_tree.mjs SITE_URL [SCREENSHOT.png]
import assert from 'node:assert/strict';
import { fileURLToPath } from 'node:url';
import { launch, openPage, within } from './harness.mjs';

const [url, shot] = process.argv.slice(2);
const blank = fileURLToPath(new URL('../../tests/data/blank.tw', import.meta.url));
const kControls = new Set(['button', 'checkbox', 'combobox', 'textbox', 'searchbox', 'spinbutton', 'gridcell', 'menuitem',
  'menuitemcheckbox', 'menuitemradio', 'link', 'slider', 'radio', 'switch', 'tab', 'listbox', 'treeitem', 'grid', 'table',
  'columnheader', 'rowheader', 'progressbar', 'dialog', 'alertdialog', 'region', 'group']);
// Nodes whose names may repeat: headings of rows and columns belong to
// their grid, and list items to their list.
const kMayRepeat = new Set(['columnheader', 'rowheader', 'option', 'MenuListOption', 'group', 'progressbar']);
const kWindows = new Set(['region', 'dialog', 'alertdialog', 'menu']);
const kGrids = new Set(['grid', 'table', 'treegrid']);
// The desktop signalling windows' column proportions, row headings first.
const kDesktopShares = { 'win-2tone': [1, 3, 3, 3], 'win-5tone': [4, 5, 5], 'win-msk': [1, 3] };

const findings = [];
const started = Date.now();
const browser = await launch();
try {
  const page = await openPage(browser, url, { pickers: false });
  // File choosers are caught from here on: the first one asked for while
  // the catching is still being switched on would open for real.
  await page.waitForFileChooser({ timeout: 200 }).catch(() => {});
  const cdp = await page.createCDPSession();
  // Leaving the page with unsaved edits, as the walk does for the second
  // language, asks the browser's own question.
  page.on('dialog', (dialog) => void dialog.accept());
  const press = async (...keys) => {
    for (const key of keys) await page.keyboard.press(key);
  };

  let lastTree = [];
  const named = (role) => lastTree.filter((n) => !n.ignored && n.role?.value === role).map((n) => n.name?.value);

  // Every control that can be seen, grouped by the window it is in: the
  // nearest region, dialog or menu round it, else the main page.
  // The whole page, or the subtree of the window `selector` (a query over
  // the window alone is many times quicker than the whole tree).
  async function axNodes(selector) {
    if (!selector) return (await cdp.send('Accessibility.getFullAXTree')).nodes;
    const { root } = await cdp.send('DOM.getDocument', { depth: 0 });
    const { nodeIds } = await cdp.send('DOM.querySelectorAll', { nodeId: root.nodeId, selector });
    const parts = await Promise.all(nodeIds.map((nodeId) => cdp.send('Accessibility.queryAXTree', { nodeId })));
    return parts.flatMap((part) => part.nodes);
  }

  // `label` names the window where `selector` takes only parts of it.
  async function walk(what, selector = '', label = '') {
    const nodes = await axNodes(selector);
    lastTree = nodes;
    const byId = new Map(nodes.map((node) => [node.nodeId, node]));
    const parentOf = new Map();
    for (const node of nodes) for (const child of node.childIds ?? []) parentOf.set(child, node.nodeId);
    const around = (node, roles) => {
      for (let at = parentOf.get(node.nodeId); at !== undefined; at = parentOf.get(at)) {
        const up = byId.get(at);
        if (!up.ignored && roles.has(up.role?.value)) return `${up.role.value} "${up.name?.value ?? ''}"`;
      }
      return '';
    };
    const top = label || (selector ? `${nodes[0].role?.value} "${nodes[0].name?.value ?? ''}"` : 'main page');
    const windowOf = (node) => around(node, kWindows) || top;
    const seen = new Map();
    let controls = 0;
    for (const node of nodes) {
      if (node.ignored) continue;
      const role = node.role?.value ?? '';
      const focusable = (node.properties ?? []).some((p) => p.name === 'focusable' && p.value.value);
      if (!kControls.has(role) && !focusable) continue;
      if (role === 'RootWebArea' || role === 'MenuListOption' || role === 'option') continue;
      ++controls;
      const name = (node.name?.value ?? '').trim();
      const window = windowOf(node);
      if (!name) findings.push(`${what}: ${role} without a name in ${window}`);
      else if (!kMayRepeat.has(role)) {
        // Cells are told apart within their grid: the desktop names the
        // cells of a window's two grids alike (2-Tone's Call List and
        // Decode), and a screen reader names the grid on entering it.
        const scope = role === 'gridcell' ? `${window}, ${around(node, kGrids)}` : window;
        const key = `${scope}\n${role}\n${name}`;
        if (seen.get(key) === 1) findings.push(`${what}: two ${role}s named "${name}" in ${scope}`);
        seen.set(key, (seen.get(key) ?? 0) + 1);
      }
    }
    return controls;
  }

  // The regions showing, by id.
  const regionsShown = () => page.$$eval('section[role=region]', (all) =>
    all.filter((region) => region.checkVisibility()).map((region) => region.id));

  // In a signalling window Enter on a list or the switch moves on to
  // another control and changes nothing, and the grids' columns keep the
  // desktop's proportions.
  async function signallingKeys(button, region) {
    const controls = await page.$$eval(`#${region} select, #${region} input[type=checkbox]`, (all) => all.map((c) => c.id));
    for (const id of controls) {
      const before = await page.$eval(`#${id}`, (c) => [c.value, c.checked]);
      await page.focus(`#${id}`);
      await press('Enter');
      const after = await page.evaluate((c) => [document.activeElement.id || document.activeElement.tagName,
        document.getElementById(c).value, document.getElementById(c).checked], id);
      assert.notEqual(after[0], id, `Enter on #${id} moves on`);
      assert.deepEqual(after.slice(1), before, `Enter on #${id} changes nothing`);
    }
    const widths = await page.$$eval(`#${region} table`, (tables) =>
      tables.map((table) => [...table.rows[0].cells].map((th) => th.getBoundingClientRect().width)));
    widths.forEach((columns, g) => {
      const unit = columns.reduce((a, b) => a + b, 0) / kDesktopShares[button].reduce((a, b) => a + b, 0);
      columns.forEach((width, c) => assert.ok(Math.abs(width - kDesktopShares[button][c] * unit) <= 2,
        `${button} grid ${g} column ${c}: ${width} px of ${columns}`));
    });
  }

  // Opens the window of a #windows button by a key, walks it and closes it.
  async function walkWindow(button, key, language) {
    const before = await regionsShown();
    await page.$eval(`#${button}`, (b) => b.focus());
    await press(key);
    const opened = await within(30000, `a region to open from #${button}`, page.waitForFunction(
      (shown) => [...document.querySelectorAll('section[role=region]')]
        .filter((region) => region.checkVisibility()).map((region) => region.id).find((id) => !shown.includes(id)),
      { polling: 50 }, before)).then((handle) => handle.jsonValue());
    const controls = await walk(`${language}, window ${button}`, `#${opened}`);
    if (button in kDesktopShares) await signallingKeys(button, opened);
    await page.$eval(`#${button}`, (b) => b.focus());
    await press(key);
    await within(30000, `region #${opened} to close`, page.waitForFunction(
      (id) => !document.getElementById(id).checkVisibility(), { polling: 50 }, opened));
    return [button, controls];
  }

  for (const language of [{ value: '0', name: 'English', cell: /^Channel 1, Rx Freq, \d+\.\d{5}$/, buttons: ['New', 'Open...', 'Save'] },
    { value: '1', name: 'Chinese', cell: /^信道 1, 接收频率, \d+\.\d{5}$/, buttons: ['新建', '打开...', '保存'] }]) {
    // Switched as a person does, then the page loaded again in it.
    if (await page.$eval('#language', (list) => list.value) !== language.value) {
      await page.focus('#language');
      await page.select('#language', language.value);
      await within(30000, 'the page to load again', page.reload());
      await within(30000, 'the page to be ready', page.waitForSelector('body[data-ready="true"]'));
    }
    const counts = { main: await walk(`${language.name}, main page`) };
    for (const button of language.buttons) assert.ok(named('button').includes(button), `a button ${button}`);
    assert.equal(named('grid').length, 1, 'one grid on the main page');

    // Tab from the top reaches every control of the toolbars and the
    // channel grid (once round the page), each showing a focus ring.
    const stops = await page.evaluate(() => {
      document.activeElement?.blur();
      window.tabbed = [];
      document.addEventListener('focusin', ({ target }) => {
        const ring = getComputedStyle(target);
        window.tabbed.push([target.id || `${target.closest('[role=grid]')?.id} cell`,
          ring.outlineStyle !== 'none' && parseFloat(ring.outlineWidth) >= 2]);
      });
      return [...document.querySelectorAll('button, select, input, [tabindex="0"]')].filter((c) => c.checkVisibility()).length;
    });
    for (let i = 0; i <= stops; ++i) await press('Tab');
    const tabbed = await page.evaluate(() => window.tabbed);
    const reached = new Set(tabbed.map(([id]) => id));
    const controls = await page.$$eval('.toolbar :is(button, select, input)', (all) =>
      all.filter((c) => !c.disabled && c.checkVisibility()).map((c) => c.id));
    const missed = [...controls, 'grid cell'].filter((id) => !reached.has(id));
    if (missed.length > 0) findings.push(`${language.name}: Tab does not reach ${missed.join(', ')}`);
    for (const [id] of tabbed.filter(([, ring]) => !ring)) findings.push(`${language.name}: no focus ring on ${id}`);
    // Tab goes round the grid's cells; F6 leaves it for the toolbar and
    // Shift+F6 comes back to the cell.
    await page.$eval('#grid td[tabindex="0"]', (cell) => cell.focus());
    await press('F6');
    assert.ok(await page.evaluate(() => document.activeElement.matches('header.toolbar *')), 'F6 from the grid to the toolbar');
    await page.keyboard.down('Shift');
    await press('F6');
    await page.keyboard.up('Shift');
    assert.ok(await page.evaluate(() => document.activeElement.matches('#grid td.current')), 'Shift+F6 back to the grid');

    // Every window of the #windows span, opened by Enter in one language
    // and by Space in the other.
    const windows = await page.$$eval('#windows button', (all) => all.map((b) => b.id));
    for (const button of windows) {
      const [id, controls] = await walkWindow(button, language.value === '0' ? 'Enter' : 'Space', language.name);
      counts[id] = controls;
    }
    counts.backups = (await walkWindow('backups', 'Enter', language.name))[1];

    // A cell the keyboard moves to under an open window comes to the front.
    await page.$eval('#win-2tone', (b) => b.click());
    await page.$eval('#grid td[tabindex="0"]', (cell) => cell.focus());
    await press(...Array(9).fill('ArrowRight'));
    assert.ok(await page.evaluate(() => {
      const cell = document.activeElement.getBoundingClientRect();
      return document.activeElement.contains(document.elementFromPoint(cell.left + cell.width / 2, cell.top + cell.height / 2));
    }), 'the focused cell in front of the window over it');
    await press('Home');
    await page.$eval('#win-2tone', (b) => b.click());

    // The cable test's report (on the virtual radio) and Compare With... a
    // file, each opened by its command.
    await page.select('#port', 'virtual');
    await page.$eval('#test-cable', (b) => b.focus());
    await press('Enter');
    await within(30000, 'the cable test to end', page.waitForFunction(
      () => /\n\n./.test(document.getElementById('cable-test-report').textContent), { polling: 50 }));
    counts.cableTest = await walk(`${language.name}, cable test`, '#cable-test');
    await press('Escape');
    // A channel edited, so the comparison with a blank codeplug has a line.
    await page.click('#grid tr:nth-child(2) td:nth-child(2)');
    await page.keyboard.type('145.5');
    await press('Enter');
    await page.$eval('#compare', (b) => b.focus());
    const [chooser] = await Promise.all([page.waitForFileChooser(), press('Enter')]);
    await chooser.accept([blank]);
    await within(30000, 'the comparison', page.waitForSelector('#compare-window:not([hidden])'));
    counts.compare = await walk(`${language.name}, compare`, '#compare-window');
    await press('Escape');
    await within(30000, 'the comparison to close', page.waitForSelector('#compare-window[hidden]'));

    // The memory map, by its key gesture.
    await page.$eval('#grid td[tabindex="0"]', (cell) => cell.focus());
    await page.keyboard.down('Control');
    await page.keyboard.down('Shift');
    await page.keyboard.down('Alt');
    await press('KeyM');
    await page.keyboard.up('Alt');
    await page.keyboard.up('Shift');
    await page.keyboard.up('Control');
    await within(30000, 'the memory map to open', page.waitForSelector('#memory-map[open]'));
    // Its 8192 bytes are named by one rule: all of them are walked in the
    // first language, its controls and first lines in the second.
    counts.memoryMap = language.value === '0'
      ? await walk(`${language.name}, memory map`, '#memory-map')
      : await walk(`${language.name}, memory map`, '#memory-map .dialog-buttons, #memory-grid thead, #memory-grid tbody tr:nth-child(-n+4)',
        `dialog "${await page.$eval('#memory-title', (title) => title.textContent)}"`);
    await press('Escape');
    await within(30000, 'the memory map to close', page.waitForSelector('#memory-map:not([open])'));

    // A cell with a value, focused by the keyboard, is spoken whole, and
    // stays in view below the sticky headings down the grid and back up.
    await page.click('#grid tr:nth-child(2) td:nth-child(2)');
    await page.keyboard.type('145.5');
    await press('Enter', 'ArrowLeft');
    const focused = await page.evaluateHandle(() => document.activeElement);
    const name = (await page.accessibility.snapshot({ root: focused, interestingOnly: false }))?.name ?? '';
    assert.match(name, language.cell, 'the focused cell');
    const current = await page.$eval('#grid td.current', (c) => [c.getAttribute('aria-selected'),
      c.parentElement.getAttribute('aria-rowindex'), c.getAttribute('aria-colindex')]);
    assert.deepEqual(current, ['true', '2', '2'], 'the current cell marked for a screen reader');
    for (const key of ['PageDown', 'PageDown', 'PageDown', 'ArrowUp', 'PageUp', 'PageUp']) {
      await press(key);
      const seen = await page.evaluate(() => {
        const cell = document.activeElement.getBoundingClientRect();
        const frame = document.querySelector('.grid-frame').getBoundingClientRect();
        const heading = document.querySelector('#grid th').getBoundingClientRect();
        return document.activeElement.matches('#grid td.current') && cell.top >= frame.top + heading.height - 1 &&
          cell.bottom <= frame.bottom + 1;
      });
      assert.ok(seen, `the current cell in view after ${key}`);
    }

    // The row menu, by Shift+F10 on a cell.
    await page.keyboard.down('Shift');
    await press('F10');
    await page.keyboard.up('Shift');
    await within(30000, 'the row menu to open', page.waitForSelector('#row-menu:not([hidden])'));
    counts.rowMenu = await walk(`${language.name}, row menu`, '#row-menu');
    await press('Escape');

    // A question (New over unsaved edits) is an alert dialog named by its
    // message.
    await page.$eval('#new', (b) => b.focus());
    await press('Space');
    await within(30000, 'the question of New', page.waitForSelector('#dialog[open]'));
    counts.question = await walk(`${language.name}, question`, '#dialog');
    const dialog = lastTree.find((n) => !n.ignored && n.role?.value === 'alertdialog');
    assert.equal(dialog?.name?.value, await page.$eval('#dialog-text', (e) => e.textContent), 'the question is named by its message');
    if (shot && language.value === '1') await page.screenshot({ path: shot });
    await press('Escape');
    await within(30000, 'the question to close', page.waitForSelector('#dialog:not([open])'));
    console.log(language.name, 'controls walked per window:', JSON.stringify(counts));
  }
  for (const finding of findings) console.log(finding);
  assert.deepEqual(page.errors, [], 'errors on the page');
  assert.equal(findings.length, 0, `${findings.length} findings`);
  console.log(`every control named, none sharing a name in its window, in both languages (${Date.now() - started} ms)`);
} finally {
  await browser.close();
}
