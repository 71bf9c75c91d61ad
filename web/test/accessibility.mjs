// What a screen reader finds on the page, in both languages: Chromium's
// accessibility tree has no unnamed button, cell, check box or list; a
// focused cell is named as the desktop program names it; a question is an
// alert dialog named by its message.  Run by hand (or by CI):
//   node web/test/accessibility.mjs SITE_URL [SCREENSHOT.png]
import assert from 'node:assert/strict';
import { launchChromium } from './chromium.mjs';

const [url, shot] = process.argv.slice(2);
const kNamed = new Set(['button', 'gridcell', 'columnheader', 'rowheader', 'checkbox', 'combobox', 'textbox',
                        'grid', 'group', 'dialog', 'alertdialog', 'progressbar']);
const browser = await launchChromium();
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1200, height: 700 });
  page.on('pageerror', (error) => console.error('page:', error.message));
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]');
  const cdp = await page.createCDPSession();
  const tree = async () => (await cdp.send('Accessibility.getFullAXTree')).nodes.filter((n) => !n.ignored);
  const named = (nodes, role) => nodes.filter((n) => n.role?.value === role).map((n) => n.name?.value ?? '');
  const focusedName = async () => {
    const focused = await page.evaluateHandle(() => document.activeElement);
    return (await page.accessibility.snapshot({ root: focused, interestingOnly: false }))?.name;
  };

  const languages = [
    { value: '0', cell: /^Channel 1, Rx Freq, \d+\.\d{5}$/, buttons: ['New', 'Open...', 'Save'] },
    { value: '1', cell: /^信道 1, 接收频率, \d+\.\d{5}$/, buttons: ['新建', '打开...', '保存'] },
  ];
  for (const language of languages) {
    await page.select('#language', language.value);
    const nodes = await tree();
    const unnamed = nodes.filter((n) => kNamed.has(n.role?.value) && !(n.name?.value ?? '').trim());
    assert.deepEqual(unnamed.map((n) => `${n.role.value} ${n.backendDOMNodeId}`), [], 'unnamed controls');
    const buttons = named(nodes, 'button');
    for (const button of language.buttons) assert.ok(buttons.includes(button), `button ${button} in ${buttons}`);
    assert.equal(named(nodes, 'grid').length, 1, 'one grid');

    // A cell with a value, focused by the keyboard, is spoken whole.
    await page.click('#grid tr:nth-child(2) td:nth-child(2)');
    await page.keyboard.type('145.5');
    await page.keyboard.press('Enter');
    await page.keyboard.press('ArrowLeft');
    const name = await focusedName();
    assert.match(name ?? '', language.cell, 'focused cell');
    const grid = await page.$eval('#grid', (g) => [g.getAttribute('aria-rowcount'), g.getAttribute('aria-colcount')]);
    const current = await page.$eval('#grid td.current', (c) => [c.getAttribute('aria-selected'),
      c.parentElement.getAttribute('aria-rowindex'), c.getAttribute('aria-colindex')]);
    console.log(language.value, { unnamed: unnamed.length, cells: named(nodes, 'gridcell').length, name, grid, current });
    assert.deepEqual(current, ['true', '2', '2'], 'current cell');

    // The focused cell stays in view below the sticky headings, down the
    // grid and back up.
    for (const key of ['PageDown', 'PageDown', 'PageDown', 'ArrowUp', 'PageUp', 'PageUp']) {
      await page.keyboard.press(key);
      const seen = await page.evaluate(() => {
        const cell = document.activeElement.getBoundingClientRect();
        const frame = document.querySelector('.grid-frame').getBoundingClientRect();
        const heading = document.querySelector('#grid th').getBoundingClientRect();
        return document.activeElement.matches('#grid td.current') && cell.top >= frame.top + heading.height - 1 &&
          cell.bottom <= frame.bottom + 1;
      });
      assert.ok(seen, `current cell in view after ${key}`);
    }

    // A question is an alert dialog named by its message.
    await page.click('#new');
    await page.waitForSelector('#dialog[open]');
    const dialog = (await tree()).find((n) => n.role?.value === 'alertdialog');
    const message = await page.$eval('#dialog-text', (e) => e.textContent);
    assert.equal(dialog?.name?.value, message, 'the dialog is named by its message');
    if (shot && language.value === '1') await page.screenshot({ path: shot });
    await page.click('#dialog button:last-child');
    await page.keyboard.down('Control');
    await page.keyboard.press('z');
    await page.keyboard.up('Control');
  }
  console.log('every control on the page has a name, in both languages');
} finally {
  await browser.close();
}
