// The Board view in Chromium, driven as a designer drives it, against the
// native tapsmith-cli run on the same board.
import { readFileSync } from 'node:fs';

import type { Page } from 'playwright-core';
import { afterAll, beforeAll, describe, expect, it } from 'vitest';

import { type BoardState, boardArguments } from '../../src/board';
import { type FormState, initialForm } from '../../src/options';
import { encodeState } from '../../src/url_state';
import { runNative } from '../native';
import { type Chromium, afterBoardSearch, launchChromium, openPage } from './browser';

let chromium: Chromium;
beforeAll(async () => {
  chromium = await launchChromium('en-US');
});
afterAll(async () => chromium?.close());

const column = (page: Page, table: string, cell: string) =>
  page.$$eval(`${table} tbody tr`, (rows, at) => rows.map((row) => (row.querySelector(at) as HTMLInputElement | null)?.value ?? row.querySelector(at)?.textContent ?? ''), cell);

// What the page shows of the board's choice, beside what the native program prints for it.
async function expectNative(page: Page, board: BoardState, language: 'en' | 'ja'): Promise<void> {
  const native = runNative(boardArguments(board, language));
  expect(await page.textContent('#board-report')).toBe(native.stdout);
  expect(await page.textContent('#board-status')).toBe(native.stderr.trimEnd());
}

describe('the Board view', () => {
  it('chooses the dividers of rails added, renamed, moved and edited as the console does, downloads them and keeps them in the link', async () => {
    const page = await openPage(chromium);
    const first = initialForm();
    const second = { ...initialForm(), vo: '1.8', r1Min: '2k', connection: 'series' };
    const third: FormState = { ...initialForm(), vo: '5' };
    await page.click('#rail-add');
    await page.fill('#field-vo', second.vo);
    await page.fill('#field-r1Min', second.r1Min);
    await page.check('input[name="connection"][value="series"]');
    await page.click('#rail-add');
    await page.fill('#field-vo', third.vo);
    await page.fill('#field-r1Min', third.r1Min);
    await page.check('input[name="connection"][value="parallel"]');
    await page.click('#rail-add');
    expect(await page.textContent('#view-board')).toBe('Board (3)');
    await afterBoardSearch(page, () => page.click('#view-board'));
    const board: BoardState = { rails: [{ name: '3V3', form: first }, { name: '1V8', form: second }, { name: '5V', form: third }], bom: '', timeLimit: '60', rank: '' };
    await expectNative(page, board, 'en');
    expect(await column(page, '#board-matches', 'th')).toEqual(['3V3', '1V8', '5V']);

    // A name the board file cannot hold, or one taken, is refused with its reason and changes nothing.
    const name = page.locator('#rails tbody tr:nth-child(2) .rail-name input');
    await name.fill('1V8 io');
    expect(await page.textContent('#error-rail-name')).toBe('A name is 1 to 32 letters (A–Z), digits, "_", ".", "+" or "-".');
    expect(await name.getAttribute('aria-invalid')).toBe('true');
    await name.fill('3V3');
    expect(await page.textContent('#error-rail-name')).toBe('Another rail is already named "3V3".');
    await afterBoardSearch(page, () => name.fill('VDD_IO'));
    expect(await page.isVisible('#error-rail-name')).toBe(false);
    await afterBoardSearch(page, () => page.fill('#board-bom', '1k, 10k\n100k'));
    await afterBoardSearch(page, () => page.click('#rails tbody tr:nth-child(3) .rail-up'));
    expect(await column(page, '#rails', '.rail-name input')).toEqual(['3V3', '5V', 'VDD_IO']);

    // Edited: back in the form, written back by "Update rail".
    await page.click('#rails tbody tr:nth-child(3) .rail-edit');
    expect([await page.inputValue('#field-vo'), await page.inputValue('#field-r1Min')]).toEqual(['1.8', '2k']);
    expect(await page.isChecked('input[name="connection"][value="series"]')).toBe(true);
    expect(await page.textContent('#rail-update')).toBe('Update rail VDD_IO');
    await page.fill('#field-vo', '1.2');
    await afterBoardSearch(page, () => page.click('#rail-update'));
    const edited: BoardState = { ...board, bom: '1k, 10k\n100k', rails: [board.rails[0], board.rails[2], { name: 'VDD_IO', form: { ...second, vo: '1.2' } }] };
    await expectNative(page, edited, 'en');
    expect(await page.isVisible('#rail-update')).toBe(false);

    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#board-download-csv')]);
    expect(readFileSync((await download.path()) as string, 'utf8')).toBe(runNative(boardArguments(edited, 'en', 'csv')).stdout);

    await page.click('#copy-link');
    const again = await openPage(chromium, new URL(await page.inputValue('#link-text')).hash);
    await again.waitForFunction(() => document.body.dataset.boardSearched === '1', null, { timeout: 90_000 });
    expect(await again.isVisible('#board')).toBe(true);
    expect(await again.inputValue('#board-bom')).toBe(edited.bom);
    await expectNative(again, edited, 'en');

    // On paper: the rails and the choice, no buttons, not the form.
    await again.emulateMedia({ media: 'print' });
    expect(await again.locator('button:visible').count()).toBe(0);
    for (const shown of ['#rails tbody tr', '#board-matches tbody tr', '#board-status']) expect(await again.isVisible(shown), shown).toBe(true);
    expect(await again.isVisible('#form')).toBe(false);
    await again.close();
    await page.close();
  });

  it('names the rails no divider meets and the rail at fault, in the language chosen; window.tapsmith.run gives the console\'s board', async () => {
    const board: BoardState = { rails: [{ name: '3V3', form: initialForm() }, { name: 'low', form: { ...initialForm(), vo: '0.5' } }], bom: '', timeLimit: '30', rank: '' };
    const page = await openPage(chromium, encodeState({ form: initialForm(), language: 'en' }, { view: 'board', board }));
    await page.waitForFunction(() => document.body.dataset.boardSearched === '1', null, { timeout: 90_000 });
    expect(runNative(boardArguments(board, 'en')).exit).toBe(1);
    await expectNative(page, board, 'en');
    expect(await page.getAttribute('#rails tbody tr:nth-child(2)', 'class')).toContain('unsolvable');
    expect(await page.textContent('#rails tbody tr:nth-child(2) .rail-mark')).toBe('no divider meets it');
    expect(await page.isDisabled('#board-download-json')).toBe(true);

    await afterBoardSearch(page, () => page.click('#switch-language'));
    await expectNative(page, board, 'ja');
    expect(await page.textContent('#rails thead th')).toBe('名前');

    // A bad time limit: the core's reason, at its field.
    await afterBoardSearch(page, () => page.fill('#board-time', 'x'));
    expect(await page.getAttribute('#board-time', 'aria-invalid')).toBe('true');
    const refused = runNative(boardArguments({ ...board, timeLimit: 'x' }, 'ja'));
    expect(await page.textContent('#board-status')).toContain(refused.stderr.split('\n')[0].replace(/^tapsmith-cli: /, ''));
    await afterBoardSearch(page, () => page.fill('#board-time', '30'));

    // A rail whose option the core refuses: its row is marked.
    await page.click('#rails tbody tr:nth-child(2) .rail-edit');
    await page.fill('#field-vo', '0.5x');
    await afterBoardSearch(page, () => page.click('#rail-update'));
    expect(await page.getAttribute('#rails tbody tr:nth-child(2)', 'class')).toContain('at-fault');
    expect(await page.textContent('#board-status')).toMatch(/^レール low を直してください: /);

    const lists = [boardArguments(board, 'en'), boardArguments({ ...board, rails: [board.rails[0]], bom: '1k 10k' }, 'ja', 'csv'),
      boardArguments({ ...board, rails: [board.rails[0]], rank: 'yield' }, 'en', 'json'), ['--board-text', 'a: --best 5\n'], ['--board-text', 'a b: --vo 3\n', '--lang', 'ja']];
    const results = await page.evaluate((all) => Promise.all(all.map((args) => window.tapsmith.run(args))), lists);
    lists.forEach((args, i) => expect(results[i], JSON.stringify(args)).toEqual(runNative(args)));
    await page.close();
  });
});
