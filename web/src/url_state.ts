// Every input in the page's URL, after "#", so that a link reopens the same
// search: the fields that differ from the page's first values, the language,
// and an own list's name and values when it is the one chosen; with a board,
// the view shown, each rail (its name and its form, written the same way),
// the BOM, the time limit and how the board ranks.
import { type BoardState, type Rail, freshRailName, initialBoard, railNameProblem } from './board';
import { type Language, kLanguages } from './i18n';
import { type FormState, initialForm, kFields, kOwnList } from './options';

export interface PageState {
  form: FormState;
  language: Language;
}

export type View = 'single' | 'board';

/** The board's inputs and the view shown, which the URL keeps beside the form. */
export interface BoardInputs {
  view: View;
  board: BoardState;
}

function encodeForm(form: FormState, params: URLSearchParams): URLSearchParams {
  const initial = initialForm();
  for (const row of kFields) {
    const value = form[row.key] ?? row.initial;
    if (value !== initial[row.key]) params.set(row.key, value);
  }
  if (form.list === kOwnList) {
    params.set('own', form.own ?? '');
    params.set('values', form.values ?? '');
  }
  return params;
}

/** The URL fragment (with its "#") for the state, and the board's when given. */
export function encodeState(state: PageState, inputs?: BoardInputs): string {
  const params = new URLSearchParams();
  params.set('lang', state.language);
  encodeForm(state.form, params);
  if (inputs !== undefined) {
    const { view, board } = inputs;
    const initial = initialBoard();
    if (view !== 'single') params.set('view', view);
    for (const rail of board.rails) params.append('rail', `${rail.name}:${encodeForm(rail.form, new URLSearchParams()).toString()}`);
    if (board.bom !== initial.bom) params.set('bom', board.bom);
    if (board.timeLimit !== initial.timeLimit) params.set('time', board.timeLimit);
    if (board.rank !== initial.rank) params.set('brank', board.rank);
  }
  return `#${params.toString()}`;
}

function decodeForm(params: URLSearchParams): FormState {
  const form = initialForm();
  for (const row of kFields) {
    const value = params.get(row.key);
    if (value === null) continue;
    const allowed = row.kind === 'check' ? ['', '1'] : row.choices?.map(([choice]) => choice);
    const ownList = row.key === 'list' && value === kOwnList;
    if (allowed === undefined || allowed.includes(value) || ownList) form[row.key] = value;
  }
  if (form.list === kOwnList) {
    form.own = params.get('own') ?? '';
    form.values = params.get('values') ?? '';
  }
  return form;
}

/**
 * The state a fragment holds, over the first values; a choice it holds that
 * the form has not is left at its first value, unknown names are ignored.
 * `language` is taken when the fragment names none.
 */
export function decodeState(fragment: string, language: Language): PageState {
  const params = new URLSearchParams(fragment.replace(/^#/, ''));
  const named = params.get('lang');
  return { form: decodeForm(params), language: kLanguages.find((l) => l === named) ?? language };
}

/**
 * The board a fragment holds. A rail whose name the board file could not
 * hold, or that another rail has, is given a fresh one: a link typed by
 * hand still opens.
 */
export function decodeBoard(fragment: string): BoardInputs {
  const params = new URLSearchParams(fragment.replace(/^#/, ''));
  const board = initialBoard();
  for (const written of params.getAll('rail')) {
    const colon = written.indexOf(':');
    const form = decodeForm(new URLSearchParams(colon < 0 ? '' : written.slice(colon + 1)));
    const rail: Rail = { name: colon < 0 ? written : written.slice(0, colon), form };
    if (railNameProblem(rail.name, board.rails) !== null) rail.name = freshRailName(board.rails, form.voMode === 'range' ? null : form.vo);
    board.rails.push(rail);
  }
  board.bom = params.get('bom') ?? board.bom;
  board.timeLimit = params.get('time') ?? board.timeLimit;
  board.rank = params.get('brank') === 'yield' ? 'yield' : board.rank;
  return { view: params.get('view') === 'board' ? 'board' : 'single', board };
}
