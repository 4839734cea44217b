// The board as the page writes it for the core: a line per rail of its
// form's options, quoted where the board file needs it, the options of the
// whole run beside the text; the names the board file takes; and the URL
// that keeps the board.
import { describe, expect, it } from 'vitest';

import { type Rail, boardArguments, boardText, freshRailName, initialBoard, movedRails, railNameProblem, railUnwritable } from '../../src/board';
import { initialForm, kOwnList, railArguments } from '../../src/options';
import { decodeBoard, decodeState, encodeState } from '../../src/url_state';

// The board file read back as its reader reads it: "#" outside quotes ends
// the line, blanks and tabs separate words, "..." holds blanks and is part
// of the word it stands in, the name is what comes before the first ":".
function readBoard(text: string): { name: string; words: string[] }[] {
  return text.split('\n').filter((line) => line.trim() !== '').map((line) => {
    let quoted = false;
    let end = line.length;
    for (let i = 0; i < line.length; ++i) {
      if (line[i] === '"') quoted = !quoted;
      if (line[i] === '#' && !quoted) {
        end = i;
        break;
      }
    }
    expect(quoted, line).toBe(false);
    const kept = line.slice(0, end);
    const colon = kept.indexOf(':');
    const words: string[] = [];
    let word: string | null = null;
    for (const c of kept.slice(colon + 1)) {
      if (c === '"') {
        quoted = !quoted;
        word ??= '';
      } else if (!quoted && (c === ' ' || c === '\t')) {
        if (word !== null) words.push(word);
        word = null;
      } else {
        word = (word ?? '') + c;
      }
    }
    if (word !== null) words.push(word);
    return { name: kept.slice(0, colon).trim(), words };
  });
}

const rails: Rail[] = [
  { name: '3V3', form: { ...initialForm(), vo: '3.3', vo2: '2', best: '5', rank: 'yield', sort: 'voltage' } },
  // Blank window fields, a "#" and blanks inside values, an own list over several lines.
  { name: 'core.1+', form: { ...initialForm(), vo: '', vo2: '', vfb: '0.6 V', r1Max: '#1', list: kOwnList, own: 'drawer', values: '1k, 2.2k\n4.7k\r\n\t10k' } },
  { name: 'io_5V-b', form: { ...initialForm(), voMode: 'range', vo: '4.9', vo2: '5.1', config: 'c', connection: 'series', r4: 'parallel', list: 'E96', rangeMin: '1k', rangeMax: '' } },
];

describe('the board text', () => {
  it('writes each rail a line that reads back as its form\'s options, line breaks in a list as blanks', () => {
    const text = boardText(rails);
    expect(text.split('\n').slice(0, -1)).toHaveLength(rails.length);
    const flat = (words: string[]) => words.map((word) => word.replace(/\r\n|[\r\n]/g, ' '));
    expect(readBoard(text)).toEqual(rails.map((rail) => ({ name: rail.name, words: flat(railArguments(rail.form)) })));
    // The window's fields go even when blank, as the single search gives them.
    expect(readBoard(text)[1].words.slice(0, 4)).toEqual(['--vo', '', '--vo2', '']);
  });

  it('keeps the options of the whole run off the rails\' lines and gives them beside the text', () => {
    for (const option of ['--best', '--rank', '--sort', '--lang', '--format']) expect(boardText(rails)).not.toContain(option);
    const args = boardArguments({ rails, bom: '1k, 10k\n100k', timeLimit: ' 5 ', rank: 'yield' }, 'ja', 'csv');
    expect(args).toEqual(['--board-text', boardText(rails), '--bom', '1k, 10k\n100k', '--time-limit', ' 5 ', '--rank', 'yield',
      '--lang', 'ja', '--format', 'csv']);
    const plain = boardArguments({ ...initialBoard(), rails, bom: '  ', timeLimit: '' }, 'en');
    expect(plain).toEqual(['--board-text', boardText(rails), '--lang', 'en']);
  });

  it('refuses a rail whose fields hold a double quote, which no board line can carry', () => {
    expect(railUnwritable({ ...initialForm(), vfbMax: '0.8"' })).toBe(true);
    expect(railUnwritable(rails[1].form)).toBe(false);
    // Only the rail's own options count: the best N is not on its line.
    expect(railUnwritable({ ...initialForm(), best: '"5"' })).toBe(false);
  });
});

describe('rail names', () => {
  it('takes 1 to 32 letters, digits, "_", ".", "+" and "-", unique in the board', () => {
    for (const name of ['a', '1V8', 'VDD_CORE.1+-', 'x'.repeat(32)]) expect(railNameProblem(name, rails), name).toBeNull();
    for (const name of ['', 'x'.repeat(33), '3V3 main', 'a:b', 'é', '"a"', 'a#', 'a\tb']) expect(railNameProblem(name, rails), name).toBe('railNameRule');
    expect(railNameProblem('core.1+', rails)).toBe('railNameTaken');
    expect(railNameProblem('core.1+', rails, rails[1])).toBeNull();
    // Names differ by case, as the board file tells them apart.
    expect(railNameProblem('3v3', rails)).toBeNull();
  });

  it('names a new rail from a plain typical voltage, else railN, never a name taken', () => {
    expect(freshRailName([], '3.3')).toBe('3V3');
    expect(freshRailName([], ' 5 V')).toBe('5V');
    expect(freshRailName(rails, '3.3')).toBe('3V3_2');
    expect(freshRailName([...rails, { name: '3V3_2', form: initialForm() }], '3.3')).toBe('3V3_3');
    for (const typical of [null, '', '3300m', '1e3', '3.3x']) expect(freshRailName(rails, typical), String(typical)).toBe('rail1');
    expect(freshRailName([{ name: 'rail1', form: initialForm() }], null)).toBe('rail2');
    for (const typical of ['3.3', '12', '0.9']) expect(railNameProblem(freshRailName(rails, typical), rails)).toBeNull();
  });

  it('moves a rail up or down, and not past either end', () => {
    expect(movedRails(rails, 2, -1).map((rail) => rail.name)).toEqual(['3V3', 'io_5V-b', 'core.1+']);
    expect(movedRails(rails, 0, 1).map((rail) => rail.name)).toEqual(['core.1+', '3V3', 'io_5V-b']);
    expect(movedRails(rails, 0, -1)).toEqual(rails);
    expect(movedRails(rails, 2, 1)).toEqual(rails);
  });
});

describe('the board in the URL', () => {
  it('brings back the view, every rail with its form, the BOM, the time limit and the rank, beside the form', () => {
    const inputs = { view: 'board' as const, board: { rails, bom: '1k, 10k\n100k & 4.7k', timeLimit: '5', rank: 'yield' } };
    const state = { form: { ...initialForm(), vo: '1.8' }, language: 'ja' as const };
    const fragment = encodeState(state, inputs);
    expect(decodeBoard(fragment)).toEqual(inputs);
    expect(decodeState(fragment, 'en')).toEqual(state);
    // No board and the single view: nothing more in the link.
    expect(encodeState(state, { view: 'single', board: initialBoard() })).toBe(encodeState(state));
  });

  it('gives a rail a link names badly, or twice, a fresh name, and opens the single view on a view it does not know', () => {
    const fragment = '#view=tables&rail=a%20b%3Avo%3D3.3&rail=x%3A&rail=x%3Avo%3D1.2&rail=nocolon&brank=closest';
    const { view, board } = decodeBoard(fragment);
    expect(view).toBe('single');
    expect(board.rails.map((rail) => rail.name)).toEqual(['3V3', 'x', '1V2', 'nocolon']);
    expect(board.rails[0].form).toEqual({ ...initialForm(), vo: '3.3' });
    expect(board.rails[1].form).toEqual(initialForm());
    expect(board.rank).toBe('');
  });
});
