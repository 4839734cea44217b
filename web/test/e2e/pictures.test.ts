// The README's pictures of the page: the worked example with the yield at
// 1280 px in English, a match chosen (its details open) and hovered, and at
// 375 px (a phone) in Japanese; and a board of four rails at 1280 px. Into
// TAPSMITH_SCREENSHOTS (`make web-screenshots`: docs/), else the build's folder.
import { mkdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';

import { afterAll, beforeAll, expect, it } from 'vitest';

import type { BoardState } from '../../src/board';
import { initialForm } from '../../src/options';
import { encodeState } from '../../src/url_state';
import { webBuild } from '../native';
import { type Chromium, afterBoardSearch, launchChromium, openPage } from './browser';

const folder = process.env.TAPSMITH_SCREENSHOTS ?? join(webBuild, 'screenshots');
const worked = {
  ...initialForm(), list: 'E96', rangeMin: '1k', vo: '3.3', vo2: '3', vfb: '0.8', vfbMin: '0.792', vfbMax: '0.808',
  tolerance: '1', r1Min: '10k', r1Max: '100k', worstCase: '1', currentMax: '100uA', best: '5', yield: '1',
};

const board: BoardState = {
  rails: [
    { name: '3V3', form: { ...initialForm(), vo2: '2' } },
    { name: '1V8', form: { ...initialForm(), vo: '1.8', vo2: '3', worstCase: '1', yield: '1' } },
    { name: '5V', form: { ...initialForm(), vo: '5', vo2: '3' } },
    { name: 'VCORE', form: { ...initialForm(), voMode: 'range', vo: '1.19', vo2: '1.21', config: 'b', r4: 'parallel' } },
  ],
  bom: '1k, 10k, 100k', timeLimit: '60', rank: '',
};

let chromium: Chromium;
beforeAll(async () => {
  chromium = await launchChromium('en-US');
  mkdirSync(folder, { recursive: true });
});
afterAll(async () => chromium?.close());

function pngWidth(path: string): number {
  return readFileSync(path).readUInt32BE(16);
}

it('takes the pictures at 1280 and 375 px', async () => {
  for (const [width, language] of [[1280, 'en'], [375, 'ja']] as const) {
    const page = await openPage(chromium, encodeState({ form: worked, language }));
    await page.setViewportSize({ width, height: width === 1280 ? 1240 : 900 });
    if (width === 1280) {
      await page.click('#matches tbody tr:nth-child(2) td:nth-child(2)');
      await page.waitForSelector('#space-chart svg');
      const dot = page.locator('#chart svg g:not(.chosen) > circle').nth(1);
      await dot.scrollIntoViewIfNeeded();
      await dot.hover();
      await page.waitForSelector('#chart svg [aria-label="tip"], #chart svg g text');
    }
    if (width === 375) {
      // The whole page in the viewport: the groups the page leaves unpainted off the screen
      // (content-visibility) are painted before the picture of the whole page is taken.
      await page.setViewportSize({ width, height: await page.evaluate(() => document.documentElement.scrollHeight) });
      await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
    }
    const path = join(folder, `web-${width}.png`);
    await page.screenshot({ path, fullPage: width === 375, animations: 'disabled' });
    expect(pngWidth(path)).toBe(width);
    await page.close();
  }
});

it('takes the picture of a board at 1280 px', async () => {
  const page = await openPage(chromium, encodeState({ form: board.rails[1].form, language: 'en' }, { view: 'single', board }));
  await page.setViewportSize({ width: 1280, height: 1100 });
  await afterBoardSearch(page, () => page.click('#view-board'));
  const path = join(folder, 'web-board-1280.png');
  await page.screenshot({ path, animations: 'disabled' });
  expect(pngWidth(path)).toBe(1280);
  await page.close();
});
