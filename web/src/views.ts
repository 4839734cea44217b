// The page's two views: the single rail's search, and the board. The form
// stays in both (it is the rail being added or edited); the results of the
// single search give way to the board's rails and choice.
import { text } from './i18n';
import type { Page } from './page_state';
import type { View } from './url_state';

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

/** Shows the view `page.view`: its section, its button pressed, the board's count of rails. */
export function showView(page: Page): void {
  const board = page.view === 'board';
  const { language } = page.state;
  document.body.dataset.view = page.view;
  byId('board').hidden = !board;
  (document.querySelector('.results') as HTMLElement).hidden = board;
  for (const [id, view] of [['view-single', 'single'], ['view-board', 'board']] as const) {
    byId(id).setAttribute('aria-pressed', String(page.view === view));
  }
  byId('view-single').textContent = text('viewSingle', language);
  byId('view-board').textContent = text('viewBoard', language, String(page.board.rails.length));
  byId('views').setAttribute('aria-label', text('views', language));
  byId<HTMLAnchorElement>('jump-results').href = board ? '#board-heading' : '#results-heading';
}

/** Wires the view buttons: `shown` is told the view the user chose. */
export function wireViews(page: Page, shown: (view: View) => void): void {
  for (const [id, view] of [['view-single', 'single'], ['view-board', 'board']] as const) {
    byId(id).addEventListener('click', () => {
      if (page.view === view) return;
      page.view = view;
      showView(page);
      shown(view);
    });
  }
}
