// The Optional Features window of the page in headless Chromium, on a blank
// codeplug opened by the file input: opened from its button and edited by
// keys (a list by the arrows, a check box by Space, the up-down stepped and
// typed, a password typed short and the warning answered, the ANI code
// typed in lower case, VFO B's frequency brought into the bands with a
// note, VFO A's current frequency typed, Enter moving on), each change one
// undo step named as the desktop names it; Save by download gives the same
// file as orvex-cli importing the same values, and undoing the last change
// gives the file without it.  Every control is named once, in both
// languages.
//   node web/test/settings.mjs SITE_URL ORVEX_CLI
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { Answer, answer, downloaded, launch, message, openPage, within } from './harness.mjs';

const [url, cli] = process.argv.slice(2);
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'orvex-settings-'));
const run = (...args) => execFileSync(cli, args).toString();
const downloads = path.join(tmp, 'downloads');
fs.mkdirSync(downloads);
const original = path.join(tmp, 'blank.tw');
run('new', original);

const browser = await launch();
try {
  const page = await openPage(browser, url, { pickers: false, downloads });
  const [chooser] = await within(5000, 'the file chooser of #open', Promise.all([page.waitForFileChooser(), page.click('#open')]));
  await chooser.accept([original]);
  await within(5000, 'the title to name blank.tw', page.waitForFunction(() => document.title.includes('blank')));

  const type = async (...keys) => {
    for (const key of keys) await page.keyboard.press(key);
  };
  const value = (id) => page.$eval(`#${id}`, (field) => (field instanceof HTMLSelectElement ? field.selectedOptions[0]?.textContent : field.value));
  const focused = () => page.evaluate(() => document.activeElement.id);
  const undoName = () => page.$eval('#undo', (button) => button.textContent);
  // A control's accessible name is its caption, after its group's.
  const named = async (id) => (await page.accessibility.snapshot({ root: await page.$(`#${id}`) })).name;

  await page.click('#win-settings');
  await page.waitForSelector('#settings-window:not([hidden])');
  assert.equal(await page.$eval('#win-settings', (b) => b.textContent), 'Optional Features');
  assert.equal(await focused(), 'set-CboSet1_0');
  assert.equal(await page.$eval('#settings-window .frame6 legend', (l) => l.textContent), 'A-Frequency Mode');

  // Every control is named, no two alike (the two frequency modes share
  // their captions); in English here, in Chinese at the end.
  const cdp = await page.createCDPSession();
  const namedOnce = async () => {
    const { result: region } = await cdp.send('Runtime.evaluate', { expression: "document.getElementById('settings-window')" });
    const names = [];
    for (const role of ['combobox', 'checkbox', 'textbox', 'spinbutton']) {
      const { nodes } = await cdp.send('Accessibility.queryAXTree', { objectId: region.objectId, role });
      names.push(...nodes.map((node) => node.name?.value ?? ''));
    }
    assert.ok(names.length === 47 && names.every((name) => name.trim() !== ''), `unnamed controls among ${names}`);
    assert.equal(new Set(names).size, names.length, `controls sharing a name among ${names}`);
  };
  await namedOnce();

  // Enter moves on as Tab does, in the desktop window's order.
  const enterMoves = [['CboSet1_0', 'CboSet1_1'], ['ChkSet3_0', 'ChkSet3_1'], ['TxtSet6', 'CboSet6_1'],
    ['TxtSet5_1', 'CboSet5_4'], ['TxtSet5_0', 'TxtSet6'], ['CboSet6_9', 'TxtSet7'], ['TxtSet8', 'CboSet8_2'],
    ['UDOpSet_1', 'CboSet8_0']];
  for (const [from, to] of enterMoves) {
    await page.focus(`#set-${from}`);
    await type('Enter');
    assert.equal(await focused(), `set-${to}`, `Enter in ${from}`);
  }
  assert.equal(await page.$eval('#undo', (b) => b.disabled), true, 'moving on stores nothing');

  // VOX by the arrows: the two choices fold into one step.
  await page.focus('#set-CboSet4_0');
  await type('ArrowDown', 'ArrowDown');
  const vox = await value('set-CboSet4_0');
  const voxName = await named('set-CboSet4_0');
  assert.match(await undoName(), new RegExp(`${voxName}$`));
  // Auto lock by Space; the auto reset timer stepped up, then typed.
  await page.focus('#set-ChkSet3_1');
  await type('Space');
  assert.equal(await page.$eval('#set-ChkSet3_1', (box) => box.checked), true);
  await page.focus('#set-UDOpSet_1');
  await type('ArrowUp', 'ArrowUp');
  assert.equal(await value('set-UDOpSet_1'), '12');
  await type('1', 'x', '5', 'Enter');
  assert.equal(await value('set-UDOpSet_1'), '15');

  // The mode-change password typed short: Enter moves on, the warning
  // comes, the digits are padded.
  await page.focus('#set-TxtSet5_0');
  await type('1', '2', 'x', '3', 'Enter');
  await message(page, 'Length not matched will auto Zero!', 5000);
  await answer(page, Answer.ok);
  assert.equal(await value('set-TxtSet5_0'), '123000');
  assert.equal(await focused(), 'set-TxtSet6');

  // The ANI code typed in lower case keeps capitals and drops what it cannot
  // hold.
  await page.focus('#set-TxtSet8');
  await type('Backspace', '4', 'b', 'e', 'c');
  await page.focus('#set-CboSet8_2');
  assert.equal(await value('set-TxtSet8'), '4BC');

  // A frequency outside the bands is brought in, with a note in the status
  // line.
  await page.focus('#set-TxtSet7');
  await type('6', '0', '0', 'Enter');
  const bCurrent = await value('set-TxtSet7');
  assert.notEqual(bCurrent, '600.00000');
  assert.match(await page.$eval('#status', (status) => status.textContent), /600/);

  // VFO A's current frequency typed; the Tx frequency follows.
  await page.focus('#set-TxtSet6');
  await type('1', '4', '5', '.', '5', 'Enter');
  assert.equal(await value('set-TxtSet6'), '145.50000');
  assert.equal(await value('set-TxtTxSet6'), '145.50000');
  assert.equal(await named('set-TxtSet6'), 'A-Frequency Mode Current');
  assert.match(await undoName(), /A-Current$/);

  const save = async (name) => {
    await page.click('#save');
    const file = await downloaded(downloads, 'blank.tw');
    const kept = path.join(tmp, name);
    fs.renameSync(file, kept);
    return kept;
  };
  const saved = await save('saved.tw');
  await page.click('#undo');
  assert.deepEqual([await value('set-TxtSet6'), await value('set-TxtTxSet6')], ['400.02500', '400.02500']);
  const undone = await save('undone.tw');

  // orvex-cli makes the same files from the same values.
  const base = JSON.parse(run('export', original, '--format', 'json'));
  delete base.memory;
  const imported = (name, edit) => {
    const json = path.join(tmp, `${name}.json`);
    const out = path.join(tmp, `${name}.tw`);
    fs.writeFileSync(json, JSON.stringify(edit));
    run('import', original, '--json', json, '-o', out);
    return out;
  };
  const same = (file, expected) => {
    if (fs.readFileSync(file).equals(fs.readFileSync(expected))) return;
    let diff;
    try { diff = run('diff', file, expected); } catch (e) { diff = e.stdout.toString(); }
    assert.fail(`the page saved other bytes than orvex-cli in ${path.basename(file)}:\n${diff}`);
  };
  Object.assign(base.options, { vox_level: vox, auto_lock: 'On', auto_reset_timer: '15', mode_change_password: '123000', ani_code: '4BC' });
  Object.assign(base.frequency_modes.B, { current: bCurrent, tx_frequency: bCurrent });
  same(undone, imported('without', base));
  Object.assign(base.frequency_modes.A, { current: '145.50000', tx_frequency: '145.50000' });
  same(saved, imported('with', base));
  // In Chinese too.
  await page.select('#language', '1');
  assert.equal(await page.$eval('#settings-title', (title) => title.textContent), '可选功能');
  await namedOnce();
  assert.deepEqual(page.errors, []);
  console.log('settings: Optional Features edits by keys save orvex-cli\'s bytes; undo restores them');
} finally {
  await browser.close();
  fs.rmSync(tmp, { recursive: true, force: true });
}
