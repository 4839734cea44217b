// The page's one state object, which every module is handed: the inputs,
// the own lists, and what is on screen. Nothing of it is kept elsewhere.
import { type BoardState, type Rail, initialBoard } from './board';
import type { Answer, AnswerMatch, ListCheck } from './core';
import type { StockList } from './stock_lists';
import type { BoardInputs, PageState, View } from './url_state';

export interface TableOrder {
  key: string;
  descending: boolean;
}

export interface Page {
  /** The inputs, as the URL keeps them. */
  state: PageState;
  /** The user's own stock lists, and where they are kept. */
  lists: StockList[];
  storage: Storage | undefined;
  /** The last answer; `current` while it answers the inputs as they are. */
  shown: Answer | null;
  current: boolean;
  /**
   * The last answer that searched, whose matches the table and the charts
   * show (an error after it leaves them, dimmed), and its whole design
   * space once the core gave it.
   */
  results: Answer | null;
  space: readonly AnswerMatch[] | null;
  /** Why the design space is missing, when its worker failed. */
  spaceFailure: string | null;
  order: TableOrder | null;
  /** The id of the match whose details are open. */
  selected: string | null;
  /** The view shown, and the board's inputs: both kept in the URL beside `state`. */
  view: View;
  board: BoardState;
  /** The board's last answer; `boardCurrent` while it answers the board as it is. */
  boardShown: Answer | null;
  boardCurrent: boolean;
  /** The rail whose inputs the form holds, to be written back by "Update rail". */
  editing: Rail | null;
}

/** What the modules ask of the page when the user acts. */
export interface PageActions {
  /** The form changed: show it, keep it in the URL and (unless false) search. */
  formChanged(search?: boolean): void;
  /** A match was chosen (in the table or a chart), or none (null). */
  choose(id: string | null, from: 'table' | 'chart'): void;
  /** The table's order changed. */
  sorted(): void;
  /** The board's inputs changed: keep them in the URL, show the rails again (unless false), choose again. */
  boardChanged(rows?: boolean): void;
  /** A line under the status that is the page's own (a label). */
  say(message: string): void;
  /** The most bytes of a list file the core needs to check it, plus one. */
  listReadLimit(): Promise<number>;
  /** A list file's first bytes checked by the core. */
  checkList(bytes: Uint8Array, name: string): Promise<ListCheck>;
}

export function newPage(state: PageState, lists: StockList[], storage: Storage | undefined,
  inputs: BoardInputs = { view: 'single', board: initialBoard() }): Page {
  return {
    state, lists, storage, shown: null, current: false, results: null, space: null, spaceFailure: null, order: null, selected: null,
    view: inputs.view, board: inputs.board, boardShown: null, boardCurrent: false, editing: null,
  };
}

/** The matches shown with their numbers in the charts (#1, #2...). */
export function rankedMatches(answer: Answer | null): { rank: number; match: AnswerMatch }[] {
  return (answer?.matches ?? []).map((match, index) => ({ rank: index + 1, match }));
}
