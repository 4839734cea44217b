// A board: several rails (a regulator each, with its feedback divider),
// whose dividers the core chooses all at once so that the board needs the
// fewest values not yet on its BOM. Each rail keeps the form it was added
// from; the core reads the rails as the text of a board file, a rail a
// line, "NAME: OPTIONS".
import type { TextKey } from './i18n';
import { type FormState, railArguments } from './options';

export interface Rail {
  name: string;
  /** The single-rail form as it was when the rail was added or updated. */
  form: FormState;
}

export interface BoardState {
  rails: Rail[];
  /** The values already on the BOM, written as a stock list is. */
  bom: string;
  /** Seconds the choice may take; blank: the console's own limit. */
  timeLimit: string;
  /** '' (the least largest deviation) or 'yield' (the greatest least yield). */
  rank: string;
}

export const kLongestRailName = 32;
const kRailName = /^[A-Za-z0-9_.+-]+$/;

export function initialBoard(): BoardState {
  return { rails: [], bom: '', timeLimit: '60', rank: '' };
}

/**
 * One option or value as the board file writes it. A line break would end
 * the rail's line: in a list of values it is a separator like a blank, and
 * becomes one. A word that is empty or holds a blank or a "#" (which would
 * start a comment) is quoted.
 */
export function boardWord(word: string): string {
  const flat = word.replace(/\r\n|[\r\n]/g, ' ');
  return flat === '' || /[\s#]/.test(flat) ? `"${flat}"` : flat;
}

/** The board file's text: rail i on line i + 1, as the core's error lines count. */
export function boardText(rails: readonly Rail[]): string {
  return rails.map((rail) => `${rail.name}: ${railArguments(rail.form).map(boardWord).join(' ')}\n`).join('');
}

/** tapsmith-cli's arguments for the board, the status in `language`. */
export function boardArguments(board: BoardState, language: string, format: 'text' | 'csv' | 'json' = 'text'): string[] {
  const args = ['--board-text', boardText(board.rails)];
  if (board.bom.trim() !== '') args.push('--bom', board.bom);
  if (board.timeLimit.trim() !== '') args.push('--time-limit', board.timeLimit);
  if (board.rank !== '') args.push('--rank', board.rank);
  args.push('--lang', language);
  if (format !== 'text') args.push('--format', format);
  return args;
}

/**
 * Why `name` cannot be the name of `self` among `rails`, as a label of the
 * page; null when it can. The board file has no way to write a quote
 * inside a word, nor a name of other characters.
 */
export function railNameProblem(name: string, rails: readonly Rail[], self?: Rail): TextKey | null {
  if (name.length === 0 || name.length > kLongestRailName || !kRailName.test(name)) return 'railNameRule';
  if (rails.some((rail) => rail !== self && rail.name === name)) return 'railNameTaken';
  return null;
}

/** Whether the form holds a text no board line can carry: a double quote. */
export function railUnwritable(form: FormState): boolean {
  return railArguments(form).some((word) => word.includes('"'));
}

/**
 * A name no rail has: from the typical output voltage as typed when it is
 * a plain one ("3.3" gives 3V3, "5" 5V), else rail1, rail2...
 */
export function freshRailName(rails: readonly Rail[], typical: string | null): string {
  const taken = new Set(rails.map((rail) => rail.name));
  const voltage = /^\s*(\d{1,4})(?:\.(\d{1,6}))?\s*V?\s*$/i.exec(typical ?? '');
  if (voltage !== null) {
    const stem = `${voltage[1]}V${voltage[2] ?? ''}`;
    if (!taken.has(stem)) return stem;
    for (let n = 2; ; ++n) if (!taken.has(`${stem}_${n}`)) return `${stem}_${n}`;
  }
  for (let n = 1; ; ++n) if (!taken.has(`rail${n}`)) return `rail${n}`;
}

/** The rails with the one at `index` moved by `by` places, if it can be. */
export function movedRails(rails: readonly Rail[], index: number, by: -1 | 1): Rail[] {
  const to = index + by;
  const moved = [...rails];
  if (index < 0 || to < 0 || to >= rails.length) return moved;
  [moved[index], moved[to]] = [moved[to], moved[index]];
  return moved;
}
