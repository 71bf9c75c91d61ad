// Debian's Chromium, headless, as the page's checks start it; `options`
// are puppeteer's launch options on top.
import puppeteer from 'puppeteer-core';

export function launchChromium(options = {}) {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking'],
    ...options,
  });
}
