// The form as data: one row per field, with the console option it feeds.
// The page never reads a number: every text goes to tapsmith-cli as typed,
// and the core's reasons and notes come back to the fields of the options
// they name.
import type { TextKey } from './i18n';

/** The form's values by field key: texts as typed, "1"/"" for a check box. */
export type FormState = Record<string, string>;

export type Group = 'target' | 'divider' | 'list' | 'design';

export interface FieldRow {
  key: string;
  kind: 'text' | 'choice' | 'check';
  group: Group;
  /** Its label, which may follow the form (the window's two Vo fields). */
  label: TextKey | ((form: FormState) => TextKey);
  /** The page's first value (a blank optional field is left out). */
  initial: string;
  /** The console option the field feeds, whose reasons it shows. */
  option?: string;
  /** For a choice: its values, and each one's label. */
  choices?: readonly (readonly [string, TextKey])[];
  /** An optional field: blank means the option is not given at all. */
  optional?: boolean;
  /** Shown only when this holds for the form. */
  shownWhen?: (form: FormState) => boolean;
  /** The arguments for the field's value; by default `option value`. */
  args?: (value: string, form: FormState) => string[];
  /** False for an option of the whole run, which a board's rail line may not hold. */
  rail?: false;
}

export const kSeriesWithRange = ['E48', 'E96', 'E192'];
export const kFixedLists = ['E24', 'E12', 'E6'];
export const kSampleLists = ['List1', 'List2', 'List3'];
/** The list choice that takes the chosen own list's values. */
export const kOwnList = 'own';

const isTypical = (form: FormState) => form.voMode !== 'range';
const hasRange = (form: FormState) => kSeriesWithRange.includes(form.list ?? '');
const flag = (on: string, off?: string) => (value: string) =>
  value === '1' ? [on] : off !== undefined ? [off] : [];

// The fields in the order the page lays them out, a row a line. The window's
// six fields always go to the console, a blank one too (the window reads it as
// 0); a blank designer's field leaves its option out.
export const kFields: readonly FieldRow[] = [
  { key: 'voMode', kind: 'choice', group: 'target', label: 'voMode', initial: 'typical', choices: [['typical', 'voModeTypical'], ['range', 'voModeRange']], args: () => [] },
  { key: 'vo', kind: 'text', group: 'target', label: (form) => (isTypical(form) ? 'voTypical' : 'voMin'), initial: '3.3', option: '--vo' },
  {
    key: 'vo2', kind: 'text', group: 'target', label: (form) => (isTypical(form) ? 'voTolerance' : 'voMax'), initial: '1', option: '--vo2',
    // A tolerance goes to the console with its "%", unless it has one.
    args: (value, form) => ['--vo2', isTypical(form) && !value.trimEnd().endsWith('%') && value.trim() !== '' ? `${value}%` : value],
  },
  { key: 'config', kind: 'choice', group: 'divider', label: 'config', initial: 'a', option: '--config', choices: [['a', 'config'], ['b', 'config'], ['c', 'config'], ['d', 'config']] },
  { key: 'connection', kind: 'choice', group: 'divider', label: 'connection', initial: 'parallel', choices: [['parallel', 'parallel'], ['series', 'series']], args: (value) => [value === 'series' ? '--serial' : '--parallel'] },
  {
    key: 'r4', kind: 'choice', group: 'divider', label: 'r4', initial: '', option: '--r4', optional: true,
    choices: [['', 'r4None'], ['parallel', 'r4Parallel'], ['series', 'r4Series']],
  },
  { key: 'dnmOnly', kind: 'check', group: 'divider', label: 'dnmOnly', initial: '', option: '--dnm-only', args: flag('--dnm-only', '--no-dnm-only') },
  { key: 'r1Min', kind: 'text', group: 'divider', label: 'r1Min', initial: '1k', option: '--r1-min' },
  { key: 'r1Max', kind: 'text', group: 'divider', label: 'r1Max', initial: '100k', option: '--r1-max' },
  { key: 'vfb', kind: 'text', group: 'divider', label: 'vfb', initial: '0.8', option: '--vfb' },
  { key: 'digits', kind: 'text', group: 'divider', label: 'digits', initial: '0', option: '--digits' },
  {
    key: 'list', kind: 'choice', group: 'list', label: 'listChoice', initial: 'E24', option: '--list',
    choices: [...kFixedLists, ...kSeriesWithRange, ...kSampleLists].map((name) => [name, 'listChoice'] as const),
    // An own list is given by its values: the console makes them List1.
    args: (value, form) => (value === kOwnList ? ['--values', form.values ?? ''] : ['--list', value]),
  },
  {
    key: 'rangeMin', kind: 'text', group: 'list', label: 'rangeMin', initial: '10', option: '--range', shownWhen: hasRange,
    args: (value, form) => (hasRange(form) && (value !== '' || form.rangeMax !== '') ? ['--range', `${value}..${form.rangeMax ?? ''}`] : []),
  },
  { key: 'rangeMax', kind: 'text', group: 'list', label: 'rangeMax', initial: '1M', option: '--range', shownWhen: hasRange, args: () => [] },
  { key: 'tolerance', kind: 'text', group: 'design', label: 'tolerance', initial: '1', option: '--tolerance', optional: true },
  { key: 'vfbMin', kind: 'text', group: 'design', label: 'vfbMin', initial: '', option: '--vfb-min', optional: true },
  { key: 'vfbMax', kind: 'text', group: 'design', label: 'vfbMax', initial: '', option: '--vfb-max', optional: true },
  { key: 'worstCase', kind: 'check', group: 'design', label: 'worstCase', initial: '', option: '--worst-case', args: flag('--worst-case') },
  { key: 'currentMin', kind: 'text', group: 'design', label: 'currentMin', initial: '', option: '--current-min', optional: true },
  { key: 'currentMax', kind: 'text', group: 'design', label: 'currentMax', initial: '', option: '--current-max', optional: true },
  { key: 'pinCurrent', kind: 'text', group: 'design', label: 'pinCurrent', initial: '', option: '--pin-current', optional: true },
  { key: 'pinCurrentMin', kind: 'text', group: 'design', label: 'pinCurrentMin', initial: '', option: '--pin-current-min', optional: true },
  { key: 'pinCurrentMax', kind: 'text', group: 'design', label: 'pinCurrentMax', initial: '', option: '--pin-current-max', optional: true },
  { key: 'yield', kind: 'check', group: 'design', label: 'yield', initial: '', option: '--yield', args: flag('--yield') },
  { key: 'sigma', kind: 'text', group: 'design', label: 'sigma', initial: '', option: '--sigma', optional: true },
  { key: 'yieldMin', kind: 'text', group: 'design', label: 'yieldMin', initial: '', option: '--yield-min', optional: true },
  { key: 'best', kind: 'text', group: 'design', label: 'best', initial: '10', option: '--best', optional: true, rail: false },
  {
    key: 'rank', kind: 'choice', group: 'design', label: 'rank', initial: '', option: '--rank', optional: true, rail: false,
    choices: [['', 'rankDefault'], ['closest', 'rankClosest'], ['yield', 'rankYield']],
  },
  {
    key: 'sort', kind: 'choice', group: 'design', label: 'sort', initial: '', option: '--sort', optional: true, rail: false,
    choices: [['', 'sortDefault'], ['voltage', 'sortVoltage'], ['precision', 'sortPrecision'], ['resistors', 'sortResistors']],
  },
];

/** The row's label for the form as it is. */
export function labelOf(row: FieldRow, form: FormState): TextKey {
  return typeof row.label === 'function' ? row.label(form) : row.label;
}

/**
 * The form as the page first shows it; `own` and `values` are the chosen own
 * list's name and values, which no row shows as a field of its own.
 */
export function initialForm(): FormState {
  const form: FormState = { own: '', values: '' };
  for (const row of kFields) form[row.key] = row.initial;
  return form;
}

// The options of `rows` for the form, in the order of the rows.
function fieldArguments(form: FormState, rows: readonly FieldRow[]): string[] {
  const args: string[] = [];
  for (const row of rows) {
    const value = form[row.key] ?? row.initial;
    if (row.optional && value.trim() === '') continue;
    if (row.args) {
      args.push(...row.args(value, form));
    } else if (row.option !== undefined) {
      args.push(row.option, value);
    }
  }
  return args;
}

/**
 * The console's arguments for the form, the status in `language`, in the
 * order of the rows. `format` is the console's output format.
 */
export function buildArguments(form: FormState, language: string, format: 'text' | 'csv' | 'json' = 'text'): string[] {
  const args = fieldArguments(form, kFields);
  args.push('--lang', language);
  if (format !== 'text') args.push('--format', format);
  return args;
}

/**
 * The form's options as a board's rail line holds them: those of the
 * single search, without the best N and the orders, which belong to the
 * whole run (the board ranks its own choice).
 */
export function railArguments(form: FormState): string[] {
  return fieldArguments(form, kFields.filter((row) => row.rail !== false));
}

/**
 * The fields of the console's options (an error's or a note's), in their
 * order: each row that feeds the option, the own list's values for
 * --values (the key "values"), both range fields for --range.
 */
export function fieldsOfOptions(options: readonly string[]): string[] {
  const keys: string[] = [];
  for (const option of options) {
    const rows = option === '--values' ? ['values'] : kFields.filter((row) => row.option === option).map((row) => row.key);
    for (const key of rows) if (!keys.includes(key)) keys.push(key);
  }
  return keys;
}

/** The window's fields as the core gave them back, in either form. */
export interface WindowTexts {
  least_text: string;
  greatest_text: string;
  typical_text: string;
  tolerance_text: string;
}

/**
 * The form with the window given the other way (`voMode`), its two fields
 * the same window in the new form, as the core wrote them for the last
 * search; without that window the fields stay as typed.
 */
export function withWindowMode(form: FormState, voMode: string, window: WindowTexts | null): FormState {
  if (voMode === form.voMode || window === null) return { ...form, voMode };
  return voMode === 'range'
    ? { ...form, voMode, vo: window.least_text, vo2: window.greatest_text }
    : { ...form, voMode, vo: window.typical_text, vo2: window.tolerance_text };
}
