import { launch, openPage, serveSite, message, answer, Answer } from './harness.mjs';
const site = await serveSite('../build-web/site');
const browser = await launch();
const page = await openPage(browser, site.url, { serial: false });
await page.select('#port', 'virtual');
for (let i = 0; i < 3; ++i) {
  await page.evaluate(() => {
    window.t = {};
    document.getElementById('read').addEventListener('click', () => { window.t.click = performance.now(); }, { once: true, capture: true });
    window.addEventListener('orvex-read', () => { window.t.read = performance.now(); }, { once: true });
  });
  await page.click('#read');
  await message(page, '', 30000);
  const t = await page.evaluate(() => window.t);
  await answer(page, Answer.ok);
  console.log('read in page', (t.read - t.click).toFixed(0), 'ms', ((t.read - t.click) / 5600).toFixed(3));
}
await browser.close(); await site.close();
