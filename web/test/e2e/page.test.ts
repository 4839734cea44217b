// The page opened from disk in Chromium, driven as a user drives it.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';

import type { Page } from 'playwright-core';
import { afterAll, beforeAll, describe, expect, it } from 'vitest';

import { buildArguments, initialForm } from '../../src/options';
import { needsDisk, runNative } from '../native';
import { randomArguments, seededRandom } from '../random_arguments';
import { encodeState } from '../../src/url_state';
import { type Chromium, afterSearch, launchChromium, openPage, pageUrl } from './browser';

let chromium: Chromium;
const requests: string[] = [];

beforeAll(async () => {
  chromium = await launchChromium('en-US');
  chromium.context.on('request', (request) => requests.push(request.url()));
});
afterAll(async () => chromium?.close());

// The README's worked example: its command and the lines it prints.
function workedExample(): { args: string[]; lines: string[] } {
  const readme = readFileSync(join(import.meta.dirname, '../../../README.md'), 'utf8');
  const block = /\n {4}tapsmith-cli (--list E96 [^\n]*(?:\\\n[^\n]*)*)\n\n((?: {4}[^\n]+\n)+)/.exec(readme);
  if (block === null) throw new Error('README.md has no worked example');
  return {
    args: block[1].replace(/\\\n/g, ' ').trim().split(/\s+/),
    lines: block[2].split('\n').filter((line) => line !== '').map((line) => line.slice(4)),
  };
}

describe('the page', () => {
  it('opens from disk and shows its first search: status, table, chart and report', async () => {
    const page = await openPage(chromium);
    const native = runNative(buildArguments(initialForm(), 'en', 'text'));
    expect(await page.textContent('#status')).toBe(native.stderr.trimEnd());
    expect(await page.textContent('#report')).toBe(native.stdout);
    const lines = native.stdout.split('\n').filter(Boolean).length;
    expect(await page.locator('#matches tbody tr').count()).toBe(lines);
    expect(await page.locator('#chart svg circle').count()).toBe(lines);
    await page.close();
  });

  it('gives the README\'s worked example its lines, filled in field by field', async () => {
    const { args, lines } = workedExample();
    const page = await openPage(chromium);
    const value = (option: string) => args[args.indexOf(option) + 1];
    await page.selectOption('#field-list', value('--list'));
    const [low, high] = value('--range').split('..');
    await page.fill('#field-rangeMin', low);
    await page.fill('#field-rangeMax', high);
    const fields: [string, string][] = [['vo', '--vo'], ['vo2', '--vo2'], ['vfb', '--vfb'], ['vfbMin', '--vfb-min'],
      ['vfbMax', '--vfb-max'], ['tolerance', '--tolerance'], ['r1Min', '--r1-min'], ['r1Max', '--r1-max'],
      ['currentMax', '--current-max'], ['best', '--best']];
    for (const [key, option] of fields) await page.fill(`#field-${key}`, value(option));
    await afterSearch(page, () => page.check('#field-worstCase'));
    const report = (await page.textContent('#report')) ?? '';
    expect([...report.split('\n').filter(Boolean), await page.textContent('#status')]).toEqual(lines);
    await page.close();
  });

  it('runs window.tapsmith.run as the native tapsmith-cli on random argument lists', async () => {
    const page = await openPage(chromium);
    const random = seededRandom(1800);
    const lists = Array.from({ length: 300 }, () => randomArguments(random)).filter((args) => !needsDisk(args));
    const results = await page.evaluate(async (all) => {
      const out = [];
      for (const args of all) out.push(await window.tapsmith.run(args));
      return out;
    }, lists);
    lists.forEach((args, i) => expect(results[i], JSON.stringify(args)).toEqual(runNative(args)));
    await page.close();
  });

  it('marks a bad field with the console\'s reason and leaves the rest as it was', async () => {
    const page = await openPage(chromium);
    await page.fill('#field-tolerance', '2');
    await afterSearch(page, () => page.fill('#field-vfbMax', '0.8x'));
    expect(await page.getAttribute('#field-vfbMax', 'aria-invalid')).toBe('true');
    expect(await page.textContent('#error-vfbMax')).toContain('"0.8x" is no voltage');
    expect(await page.locator('[aria-invalid="true"]').count()).toBe(1);
    expect(await page.inputValue('#field-tolerance')).toBe('2');
    expect(await page.inputValue('#field-vfbMax')).toBe('0.8x');
    await afterSearch(page, () => page.click('#switch-language'));
    expect(await page.textContent('#error-vfbMax')).toContain('「0.8x」は電圧として読めません');
    await afterSearch(page, () => page.fill('#field-vfbMax', '0.81'));
    expect(await page.locator('[aria-invalid="true"]').count()).toBe(0);
    // The window's own fields: their format error names the text.
    await afterSearch(page, () => page.fill('#field-vo', '1.3x'));
    expect(await page.getAttribute('#field-vo', 'aria-invalid')).toBe('true');
    expect(await page.textContent('#status')).toBe('フォーマット・エラー\n1.3x');
    await page.close();
  });

  it('switches its language, status included, and starts in the browser\'s', async () => {
    const japanese = await launchChromium('ja-JP');
    try {
      const page = await openPage(japanese);
      expect(await page.getAttribute('html', 'lang')).toBe('ja');
      expect(await page.textContent('label[for="field-r1Min"]')).toBe('R1(min) [Ω]');
      expect(await page.textContent('#status')).toMatch(/組見つかりました/);
      await afterSearch(page, () => page.click('#switch-language'));
      expect(await page.getAttribute('html', 'lang')).toBe('en');
      expect(await page.textContent('h1')).toMatch(/feedback divider search/);
      expect(await page.textContent('#status')).toMatch(/set\(s\) found/);
      await page.waitForURL(/lang=en/);
      await page.close();
    } finally {
      await japanese.close();
    }
  });

  it('abandons a search still running when the inputs change', async () => {
    const page = await chromium.context.newPage();
    // A search of seconds: E192, a wide window, every worst case tried.
    const long = { ...initialForm(), vo2: '60', r1Min: '100', r1Max: '33k', list: 'E192', rangeMin: '100', rangeMax: '33k', worstCase: '1', currentMin: '1nA', best: '1000' };
    await page.goto(pageUrl + encodeState({ form: long, language: 'en' }));
    await page.waitForFunction(() => document.querySelector('.results')?.hasAttribute('aria-busy'));
    await page.fill('#field-r1Max', '200');
    await page.waitForFunction(() => document.body.dataset.searched !== undefined, null, { timeout: 60_000 });
    expect(await page.textContent('#report')).toBe(runNative(buildArguments({ ...long, r1Max: '200' }, 'en', 'text')).stdout);
    // The long search's result never came to be shown.
    expect(await page.evaluate(() => document.body.dataset.searched)).toBe('1');
    await page.close();
  });

  it('restores its search from a copied link', async () => {
    const page = await openPage(chromium);
    await page.selectOption('#field-list', 'E96');
    await page.fill('#field-rangeMin', '1k');
    await page.check('input[name="config"][value="c"]');
    await page.check('input[name="voMode"][value="range"]');
    await page.fill('#field-vo', '1.19');
    await afterSearch(page, () => page.fill('#field-vo2', '1.21'));
    await page.click('#copy-link');
    const link = await page.inputValue('#link-text');
    const fields = (on: Page) => on.$$eval('form input, form select, form textarea', (all) =>
      all.map((e) => {
        const input = e as HTMLInputElement;
        return input.type === 'radio' || input.type === 'checkbox' ? `${input.name}=${input.value}:${input.checked}` : `${input.id}=${input.value}`;
      }));
    const before = { fields: await fields(page), report: await page.textContent('#report') };
    await page.close();
    const again = await chromium.context.newPage();
    await again.goto(link);
    await again.waitForFunction(() => document.body.dataset.searched !== undefined);
    expect({ fields: await fields(again), report: await again.textContent('#report') }).toEqual(before);
    await again.close();
  });

  it('searches an own list, keeps it in the browser and downloads the console\'s CSV', async () => {
    const page = await openPage(chromium);
    await page.click('#own-new');
    await page.fill('#own-name', 'Bench drawer');
    await afterSearch(page, () => page.fill('#own-values', '1k, 2.2k 4.7k\n10k 22k 47k 100k'));
    const args = buildArguments({ ...initialForm(), list: 'own', values: '1k, 2.2k 4.7k\n10k 22k 47k 100k' }, 'en', 'text');
    expect(await page.textContent('#report')).toBe(runNative(args).stdout);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#download-csv')]);
    const csv = readFileSync((await download.path()) as string, 'utf8');
    expect(csv).toBe(runNative([...args, '--format', 'csv']).stdout);
    await page.reload();
    await page.waitForFunction(() => document.body.dataset.searched !== undefined);
    expect(await page.inputValue('#own-name')).toBe('Bench drawer');
    expect(await page.locator('#field-list option', { hasText: 'Bench drawer' }).count()).toBe(1);
    await page.close();
  });

  it('can be used from the keyboard alone', async () => {
    const page = await openPage(chromium);
    const reached = new Set<string>();
    for (let i = 0; i < 60; ++i) {
      await page.keyboard.press('Tab');
      reached.add(await page.evaluate(() => document.activeElement?.id || document.activeElement?.className || ''));
    }
    for (const id of ['switch-language', 'copy-link', 'field-vo', 'field-list', 'own-new', 'field-best', 'download-csv']) {
      expect(reached, id).toContain(id);
    }
    await page.focus('#field-worstCase');
    await afterSearch(page, () => page.keyboard.press('Space'));
    expect(await page.isChecked('#field-worstCase')).toBe(true);
    await page.close();
  });

  it('has no serious accessibility violation, at 1280 px in English and 375 px in Japanese', async () => {
    const axe = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
    for (const [width, fragment] of [[1280, '#lang=en'], [375, '#lang=ja']] as const) {
      const page = await openPage(chromium, fragment);
      await page.setViewportSize({ width, height: 800 });
      await page.addScriptTag({ content: axe });
      const violations = await page.evaluate(async () => {
        const result = await (window as unknown as { axe: { run(): Promise<{ violations: { id: string; impact: string; nodes: { target: string[] }[] }[] }> } }).axe.run();
        return result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
          .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
      });
      expect(violations, `${width} px`).toEqual([]);
      // Readable at that width: nothing wider than the screen.
      expect(await page.evaluate(() => document.documentElement.scrollWidth), `${width} px`).toBeLessThanOrEqual(width);
      await page.close();
    }
  });

  it('made no network request at all', () => {
    expect(requests.length).toBeGreaterThan(0);
    const local = /^(file|blob|data):/;
    expect(requests.filter((url) => !local.test(url))).toEqual([]);
  });
});
