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
    // window.tapsmith.answer: the same runs, as the core's answer.
    const some = lists.filter((args) => !args.includes('--format')).slice(0, 20);
    const answers = await page.evaluate((all) => Promise.all(all.map((args) => window.tapsmith.answer({ args, text: true }))), some);
    some.forEach((args, i) => expect([answers[i].exit, answers[i].text ?? ''], JSON.stringify(args)).toEqual([runNative(args).exit, runNative(args).stdout]));
    await expect(page.evaluate(() => window.tapsmith.answer({ args: 'x' } as never))).rejects.toThrow(/array of strings/);
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

  it('searches the whole E192 series with R4 beside R1, drawn and tabled with it', async () => {
    const page = await openPage(chromium);
    await page.selectOption('#field-list', 'E192');
    await afterSearch(page, () => page.check('input[name="r4"][value="parallel"]'));
    const form = { ...initialForm(), list: 'E192', r4: 'parallel' };
    const native = runNative(buildArguments(form, 'en', 'text'));
    expect(native.exit).toBe(0);
    expect(await page.textContent('#report')).toBe(native.stdout);
    expect(await page.textContent('#matches thead')).toContain('R4');
    // Each configuration's picture holds R4 beside R1.
    expect(await page.locator('.schematic-holder svg', { hasText: 'R4' }).count()).toBe(4);
    // A row whose R4 is fitted (the third column) shows its leg as the pair.
    const rows = page.locator('#matches tbody tr');
    const withR4 = await rows.evaluateAll((all) => all.findIndex((row) => (row.children[2]?.textContent ?? '') !== ''));
    expect(withR4).toBeGreaterThanOrEqual(0);
    await rows.nth(withR4).locator('button.choose').click();
    expect(await page.textContent('#details')).toMatch(/R1 \/\/ R4/);
    await page.close();
  });

  it('searches an own list as it is typed, keeps it in the browser and downloads the console\'s CSV', async () => {
    const page = await openPage(chromium);
    await afterSearch(page, () => page.click('#own-new'));
    // An empty list is no list: the core's reason at the values, and no download.
    expect(await page.getAttribute('#own-values', 'aria-invalid')).toBe('true');
    expect(await page.textContent('#error-values')).toBe('Stock list error');
    expect(await page.isDisabled('#download-csv')).toBe(true);
    await page.fill('#own-name', 'Bench drawer');
    await afterSearch(page, () => page.fill('#own-values', '1k, 2.2k 4.7k\n10k 22k 47k 100k'));
    expect(await page.locator('[aria-invalid="true"]').count()).toBe(0);
    expect(await page.isVisible('#error-values')).toBe(false);
    const args = buildArguments({ ...initialForm(), list: 'own', values: '1k, 2.2k 4.7k\n10k 22k 47k 100k' }, 'en', 'text');
    expect(await page.textContent('#report')).toBe(runNative(args).stdout);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#download-csv')]);
    const csv = readFileSync((await download.path()) as string, 'utf8');
    expect(csv).toBe(runNative([...args, '--format', 'csv']).stdout);
    await page.reload();
    await page.waitForFunction(() => document.body.dataset.searched !== undefined);
    expect(await page.inputValue('#own-name')).toBe('Bench drawer');
    expect(await page.locator('#field-list option', { hasText: 'Bench drawer' }).count()).toBe(1);
    // Deleted only once the user says yes.
    let asked = '';
    page.once('dialog', (dialog) => {
      asked = dialog.message();
      void dialog.dismiss();
    });
    await page.click('#own-delete');
    expect(asked).toBe('Delete the list "Bench drawer"?');
    expect(await page.locator('#field-list option', { hasText: 'Bench drawer' }).count()).toBe(1);
    page.once('dialog', (dialog) => void dialog.accept());
    await afterSearch(page, () => page.click('#own-delete'));
    expect(await page.locator('#field-list option', { hasText: 'Bench drawer' }).count()).toBe(0);
    await page.close();
  });

  it('refuses a list file the core refuses, with its reason, and keeps nothing of it', async () => {
    const page = await openPage(chromium);
    const kept = () => page.evaluate(() => [localStorage.getItem('tapsmith.lists'), location.hash]);
    const before = await kept();
    const utf16 = Buffer.from('\ufeff1k\n2.2k\n4.7k\n', 'utf16le');
    await page.setInputFiles('#own-file', { name: 'drawer.txt', mimeType: 'text/plain', buffer: utf16 });
    await page.waitForSelector('#error-own-file:not([hidden])');
    expect(await page.textContent('#error-own-file')).toBe('drawer.txt holds NUL bytes: it is not UTF-8 text (UTF-16?)');
    expect(await page.locator('#field-list option', { hasText: 'drawer' }).count()).toBe(0);
    expect(await kept()).toEqual(before);
    // A good file becomes a list, and is searched.
    await afterSearch(page, () => page.setInputFiles('#own-file', { name: 'drawer.txt', mimeType: 'text/plain', buffer: Buffer.from('1k\n2.2k\n4.7k\n') }));
    expect(await page.isVisible('#error-own-file')).toBe(false);
    expect(await page.inputValue('#own-values')).toBe('1k\n2.2k\n4.7k\n');
    await page.close();
  });

  it('can be used from the keyboard alone', async () => {
    const page = await openPage(chromium);
    const reached = new Set<string>();
    for (let i = 0; i < 60; ++i) {
      await page.keyboard.press('Tab');
      reached.add(await page.evaluate(() => document.activeElement?.id || document.activeElement?.className || ''));
    }
    for (const id of ['switch-language', 'copy-link', 'field-vo', 'field-list', 'own-new', 'field-best', 'download-csv', 'choose']) {
      expect(reached, id).toContain(id);
    }
    // A row's "#" opens its details, and the keyboard goes on there.
    await page.focus('#matches tbody tr:nth-child(2) .choose');
    await page.keyboard.press('Enter');
    expect(await page.evaluate(() => document.activeElement?.id)).toBe('details-heading');
    expect(await page.textContent('#details-heading')).toBe('Details of match #2');
    await page.focus('#field-worstCase');
    await afterSearch(page, () => page.keyboard.press('Space'));
    expect(await page.isChecked('#field-worstCase')).toBe(true);
    await page.close();
  });

  it('has no serious accessibility violation, at 1280 px in English and 375 px in Japanese', async () => {
    const axe = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
    // Every column the table can have: the worst case, the current, the yield.
    const wide = encodeState({ form: { ...initialForm(), list: 'E96', rangeMin: '1k', vfbMin: '0.79', currentMax: '1m', yield: '1' }, language: 'en' });
    for (const [width, fragment] of [[1280, wide], [375, '#lang=ja']] as const) {
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
      if (width === 1280) {
        expect(await page.locator('#matches thead th').count()).toBe(11);
        expect(await page.$eval('.table-scroll', (e) => e.scrollWidth - e.clientWidth)).toBeLessThanOrEqual(0);
      } else {
        // The results are one link away, not below the whole form.
        await page.click('#jump-results');
        expect(await page.evaluate(() => document.activeElement?.id)).toBe('results-heading');
        expect(await page.$eval('#status', (e) => e.getBoundingClientRect().top)).toBeLessThan(800);
      }
      await page.close();
    }
  });

  it('carries the window over when it is given the other way, and back', async () => {
    const page = await openPage(chromium, encodeState({ form: { ...initialForm(), vo: '3.3', vo2: '3' }, language: 'en' }));
    await afterSearch(page, () => page.check('input[name="voMode"][value="range"]'));
    expect([await page.inputValue('#field-vo'), await page.inputValue('#field-vo2')]).toEqual(['3.201', '3.399']);
    expect(await page.textContent('label[for="field-vo2"]')).toBe('Vo(max) [V]');
    const range = await page.textContent('#status');
    await afterSearch(page, () => page.check('input[name="voMode"][value="typical"]'));
    expect([await page.inputValue('#field-vo'), await page.inputValue('#field-vo2')]).toEqual(['3.3', '3']);
    expect(await page.textContent('#status')).toBe(range);
    await page.close();
  });

  it('says why nothing was found, at the fields the notes name, and offers nothing to download', async () => {
    const page = await openPage(chromium, encodeState({ form: { ...initialForm(), config: 'c', vo: '' }, language: 'en' }));
    const native = runNative(buildArguments({ ...initialForm(), config: 'c', vo: '' }, 'en'));
    expect(native.exit).toBe(1);
    expect(await page.textContent('#status')).toBe(native.stderr.trimEnd());
    expect(await page.textContent('#error-vo')).toBe('Empty: read as 0 V.');
    expect(await page.getAttribute('#field-vo', 'aria-invalid')).toBeNull();
    expect(await page.textContent('#notes')).toMatch(/^Searched /);
    await afterSearch(page, () => page.fill('#field-vo', '3.3'));
    expect(await page.textContent('#error-config')).toMatch(/\[c\]/);
    for (const id of ['#download-csv', '#download-json']) expect(await page.isDisabled(id), id).toBe(true);
    // Found again: the notes go, the downloads come back, and go while a search is pending.
    await afterSearch(page, () => page.check('input[name="config"][value="a"]'));
    expect(await page.isVisible('#error-config')).toBe(false);
    expect(await page.isDisabled('#download-csv')).toBe(false);
    await page.fill('#field-vfb', '0.6');
    expect(await page.isDisabled('#download-csv')).toBe(true);
    await page.close();
  });

  it('keeps the "#" of each row when sorting, and opens a chosen match\'s details from the table or the chart', async () => {
    const form = { ...initialForm(), list: 'E96', rangeMin: '1k', tolerance: '1', yield: '1', currentMax: '1m', pinCurrent: '1u', best: '5' };
    const page = await openPage(chromium, encodeState({ form, language: 'en' }));
    const rows = () => page.$$eval('#matches tbody tr', (all) => all.map((tr) => [...tr.querySelectorAll('td')].map((td) => td.textContent)));
    const before = await rows();
    expect(before.map((row) => row[0])).toEqual(['#1', '#2', '#3', '#4', '#5']);
    expect(await page.textContent('#matches thead')).toContain('Yield [%]');
    expect(before[0].at(-2)).toMatch(/^[\d.]+ [mµn]?A$/);
    await page.click('#matches th:nth-child(6) button');
    await page.click('#matches th:nth-child(6) button');
    const sorted = await rows();
    expect(sorted.map((row) => row[0])).not.toEqual(before.map((row) => row[0]));
    expect([...sorted].sort((a, b) => a[0].localeCompare(b[0]))).toEqual(before);
    // The third row of the table, chosen, is its "#" in the chart and in the details.
    const label = sorted[2][0];
    await page.click(`#matches tbody tr:nth-child(3) td:nth-child(2)`);
    expect(await page.textContent('#details-heading')).toBe(`Details of match ${label}`);
    const details = await page.textContent('#details');
    const answer = await page.evaluate((args) => window.tapsmith.answer({ args }), buildArguments(form, 'en'));
    const match = answer.matches[Number(label.slice(1)) - 1];
    for (const shown of [match.r1, match.r2, match.r3, match.texts.vout, match.texts.current_a, match.texts.current_upper_a, match.texts.yield]) {
      expect(details).toContain(shown);
    }
    expect(match.texts.current_upper_a).not.toBe(match.texts.current_a);
    expect(await page.locator('#details svg.schematic text', { hasText: match.r1 }).count()).toBe(1);
    expect(await page.locator('#chart svg .chosen circle').count()).toBe(1);
    // A bar in the chart chooses its row.
    await page.locator('#chart svg g:not(.chosen) > circle').nth(4).click();
    expect(await page.textContent('#details-heading')).toBe('Details of match #5');
    expect(await page.textContent('#matches tbody tr[aria-current="true"] td')).toBe('#5');
    // The whole design space: the combinations that qualify, the five ringed and numbered.
    await page.waitForFunction(() => document.querySelectorAll('#space-chart svg circle').length > 100);
    expect(await page.locator('#space-chart svg text', { hasText: /^#[1-5]$/ }).count()).toBe(5);
    expect(await page.textContent('#space-figure')).toContain('1000 shown');
    await page.close();
  });

  it('prints the inputs, the status, the charts and the table without the buttons', async () => {
    const page = await openPage(chromium);
    await page.emulateMedia({ media: 'print' });
    // The table's headings and "#" are buttons on the screen, text on paper.
    expect(await page.locator('button:visible, .file-button:visible').count()).toBe(await page.locator('#matches button').count());
    expect(await page.$eval('#matches th button', (button) => getComputedStyle(button).borderStyle)).toBe('none');
    for (const shown of ['#field-vo', '#status', '#chart svg', '#matches tbody tr']) expect(await page.isVisible(shown), shown).toBe(true);
    const pdf = await page.pdf({ format: 'A4' });
    expect(pdf.subarray(0, 5).toString()).toBe('%PDF-');
    await page.close();
  });

  it('tells a worker that failed, and goes on in a fresh one; the hooks reject rather than hang', async () => {
    const page = await chromium.context.newPage();
    // The next workers made cannot make their core, as when memory runs out.
    await page.addInitScript(() => {
      const Original = window.Worker;
      const hooks = window as unknown as { failWorkers: number; madeWorkers: number };
      hooks.failWorkers = 1;
      hooks.madeWorkers = 0;
      window.Worker = class extends Original {
        constructor(url: string | URL, options?: WorkerOptions) {
          ++hooks.madeWorkers;
          if (hooks.failWorkers <= 0) {
            super(url, options);
            return;
          }
          --hooks.failWorkers;
          // The worker's own script, read back from its URL, behind the failure.
          const script = new XMLHttpRequest();
          script.open('GET', String(url), false);
          script.send();
          const failing = 'WebAssembly.instantiate = () => Promise.reject(new RangeError("Out of memory: Cannot allocate Wasm memory"));';
          super(URL.createObjectURL(new Blob([failing, script.responseText], { type: 'text/javascript' })), options);
        }
      };
    });
    await page.goto(pageUrl + '#lang=en');
    await page.waitForFunction(() => /stopped in its worker/.test(document.getElementById('status')?.textContent ?? ''), null, { timeout: 30_000 });
    expect(await page.textContent('#status')).toContain('Out of memory');
    expect(await page.getAttribute('.results', 'aria-busy')).toBeNull();
    await afterSearch(page, () => page.fill('#field-vo', '3.4'));
    expect(await page.textContent('#report')).toBe(runNative(buildArguments({ ...initialForm(), vo: '3.4' }, 'en')).stdout);
    // Once the search's next spare is made (the first worker, its spare, the next spare),
    // the hooks' own worker fails.
    await page.waitForFunction(() => (window as unknown as { madeWorkers: number }).madeWorkers === 3);
    await page.evaluate(() => {
      (window as unknown as { failWorkers: number }).failWorkers = 1;
    });
    await expect(page.evaluate(() => window.tapsmith.run(['--version']))).rejects.toThrow(/Out of memory/);
    expect(await page.evaluate(() => window.tapsmith.run(['--version']))).toEqual(runNative(['--version']));
    await page.close();
  });

  it('made no network request at all', () => {
    expect(requests.length).toBeGreaterThan(0);
    const local = /^(file|blob|data):/;
    expect(requests.filter((url) => !local.test(url))).toEqual([]);
  });
});
