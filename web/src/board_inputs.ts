// The board's own inputs beside its rails: the values already on the BOM,
// the time limit of the choice and what the choice favours. Texts go to the
// console as typed, as the form's do.
import { text } from './i18n';
import type { Page, PageActions } from './page_state';

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

const kRanks = [['', 'boardRankDeviation'], ['yield', 'boardRankYield']] as const;

export function wireBoardInputs(page: Page, actions: PageActions): void {
  const bom = byId<HTMLTextAreaElement>('board-bom');
  const time = byId<HTMLInputElement>('board-time');
  const rank = byId<HTMLSelectElement>('board-rank');
  bom.addEventListener('input', () => {
    page.board.bom = bom.value;
    actions.boardChanged(false);
  });
  time.addEventListener('input', () => {
    page.board.timeLimit = time.value;
    actions.boardChanged(false);
  });
  rank.addEventListener('change', () => {
    page.board.rank = rank.value;
    actions.boardChanged(false);
  });
}

/** Shows the board's inputs for the state, in the page's language (not over what is being typed). */
export function showBoardInputs(page: Page): void {
  const bom = byId<HTMLTextAreaElement>('board-bom');
  const time = byId<HTMLInputElement>('board-time');
  const rank = byId<HTMLSelectElement>('board-rank');
  if (document.activeElement !== bom) bom.value = page.board.bom;
  if (document.activeElement !== time) time.value = page.board.timeLimit;
  rank.replaceChildren(...kRanks.map(([value, label]) =>
    Object.assign(document.createElement('option'), { value, textContent: text(label, page.state.language) })));
  rank.value = page.board.rank;
}
