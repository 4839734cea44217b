// The page: made of its modules around one state object. Each handler
// collects the form into the state, asks the core, shows the answer.
import './style.css';

import CoreWorkerScript from './worker?worker&inline';

import { boardSearchView, showBoard } from './board_results';
import { railBar, showRails } from './board_rails';
import { showBoardInputs, wireBoardInputs } from './board_inputs';
import { boardSearcher } from './board_search';
import { wireDownloads } from './downloads';
import { buildForm, showForm } from './form';
import { type Language, type TextKey, browserLanguage, text } from './i18n';
import { pageLink } from './link';
import { adoptLinkedList, showOwnList } from './own_lists';
import { type PageActions, newPage } from './page_state';
import { type ResultsView, searchView, showCharts, showMatches, showResults } from './results';
import { exposeHooks, steadyWorker } from './scripting';
import { CoreWorker } from './search_client';
import { searcher } from './searching';
import { loadLists } from './stock_lists';
import { decodeBoard, decodeState } from './url_state';
import { showView, wireViews } from './views';

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

function browserStorage(): Storage | undefined {
  try {
    return window.localStorage;
  } catch {
    return undefined;
  }
}

const storage = browserStorage();
const page = newPage(decodeState(location.hash, browserLanguage(navigator.languages)), loadLists(storage), storage, decodeBoard(location.hash));
const startWorker = () => new CoreWorkerScript();
const steady = steadyWorker(startWorker);
exposeHooks(steady);

const form = byId<HTMLFormElement>('form');
const view: ResultsView = { form, results: document.querySelector('.results') as HTMLElement };

function say(message: string): void {
  const note = byId('page-note');
  note.textContent = message;
  note.hidden = message === '';
}

const link = pageLink(page, say);

const actions: PageActions = {
  formChanged(search = true) {
    showForm(form, page);
    showOwnList(page);
    link.keepSoon();
    if (search) searches.schedule();
  },
  choose(id, from) {
    // From the table's button, the keyboard goes on in the details.
    const byKeyboard = from === 'table' && document.activeElement?.classList.contains('choose') === true;
    page.selected = id;
    showMatches(page, actions);
    if (id === null) return;
    byId('details').scrollIntoView({ block: 'nearest' });
    if (byKeyboard) byId('details-heading').focus();
  },
  sorted() {
    showMatches(page, actions);
  },
  boardChanged(rows = true) {
    if (rows) showRails(page, actions);
    showView(page);
    link.keepSoon();
    boards.schedule();
  },
  say,
  listReadLimit: () => steady().ask({ kind: 'listLimit' }),
  checkList: (bytes, name) => steady().ask({ kind: 'checkList', bytes, name, language: page.state.language }),
};

const searches = searcher(page, new CoreWorker(startWorker, true), searchView(view, page, actions));
const boards = boardSearcher(page, () => new CoreWorker(startWorker, true), boardSearchView(page));

function showTexts(): void {
  const language: Language = page.state.language;
  document.documentElement.lang = language;
  document.title = text('title', language);
  for (const element of document.querySelectorAll<HTMLElement>('[data-text]')) {
    element.textContent = text(element.dataset.text as TextKey, language);
  }
  const switcher = byId('switch-language');
  switcher.lang = language === 'ja' ? 'en' : 'ja';
  switcher.setAttribute('aria-label', text('switchLanguageLabel', language));
  showForm(form, page);
  showOwnList(page);
  showView(page);
  showRails(page, actions);
  showBoardInputs(page);
}

function switchLanguage(): void {
  page.state.language = page.state.language === 'ja' ? 'en' : 'ja';
  showTexts();
  // The labels of the results follow at once; their texts with the answer.
  if (page.results !== null) showResults(view, page, actions);
  if (page.boardShown !== null) showBoard(page);
  link.keepSoon();
  searches.schedule();
  boards.schedule();
}

adoptLinkedList(page, actions);
form.append(railBar(page, actions));
buildForm(form, page, actions);
showTexts();
wireDownloads(page);
wireBoardInputs(page, actions);
wireViews(page, (shown) => {
  link.keepSoon();
  if (shown === 'board' && !page.boardCurrent) void boards.run();
});
byId('switch-language').addEventListener('click', switchLanguage);
byId('copy-link').addEventListener('click', () => void link.copy());
byId('jump-results').addEventListener('click', (event) => {
  event.preventDefault();
  const heading = byId(page.view === 'board' ? 'board-heading' : 'results-heading');
  heading.scrollIntoView();
  heading.focus();
});
// The charts' own height changes their holders too: redraw on a new width only.
const widths = new Map<Element, number>();
const resizes = new ResizeObserver((entries) => {
  if (!entries.some((entry) => widths.get(entry.target) !== entry.target.clientWidth)) return;
  for (const entry of entries) widths.set(entry.target, entry.target.clientWidth);
  showCharts(page, actions);
});
for (const holder of ['chart', 'space-chart']) resizes.observe(byId(holder));
// A link pasted over this page's own: start afresh from it.
window.addEventListener('hashchange', () => location.reload());
say('');
void searches.run();
if (page.view === 'board') void boards.run();
