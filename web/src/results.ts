// The results as the core answered them: the status (with the page's own
// line under it), the notes that belong to no field, the marks at the
// fields, the charts, the table, the chosen match's details, the report and
// whether the downloads are on.
import { drawChart } from './chart';
import type { Answer, AnswerMatch } from './core';
import { showDetails } from './details';
import { showDownloads } from './downloads';
import { clearMarks, markAnswer } from './field_marks';
import { text } from './i18n';
import type { Page, PageActions } from './page_state';
import type { SearchView } from './searching';
import { WorkerFailed } from './search_client';
import { drawSpace } from './space_chart';
import { showTable } from './table';

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

/** The page's elements the results are shown in. */
export interface ResultsView {
  form: HTMLFormElement;
  results: HTMLElement;
}

function setStatus(status: string, notes: readonly string[] = []): void {
  byId('status').textContent = status;
  const list = byId('notes');
  list.replaceChildren(...notes.map((note) => Object.assign(document.createElement('li'), { textContent: note })));
  list.hidden = notes.length === 0;
}

function showStatus(view: ResultsView, page: Page): void {
  const answer = page.shown;
  if (answer === null) return;
  const { errorAtField, unplaced } = markAnswer(view.form, answer);
  const usage = answer.error?.kind === 'usage';
  const status = usage ? `${text(errorAtField ? 'fieldError' : 'usageError', page.state.language)} ${answer.status}` : answer.status;
  setStatus(status, unplaced.map((note) => note.message));
}

/** Draws both charts for the width they have now. */
export function showCharts(page: Page, actions: PageActions): void {
  const { language } = page.state;
  const choose = (id: string) => actions.choose(id, 'chart');
  const results = page.results !== null && page.results.matches.length > 0 ? page.results : null;
  // Shown before they are measured: a hidden holder has no width.
  byId('chart-figure').hidden = results === null;
  byId('space-figure').hidden = results === null;
  const holder = byId('chart');
  const chart = results === null ? null : drawChart(results, page.selected, language, Math.max(280, holder.clientWidth), choose);
  holder.replaceChildren(...(chart === null ? [] : [chart]));
  const spaceHolder = byId('space-chart');
  const space = results === null || page.space === null ? null
    : drawSpace(results, page.space, page.selected, language, Math.max(280, spaceHolder.clientWidth), choose);
  spaceHolder.replaceChildren(...(space === null ? [] : [space]));
  byId('space-count').textContent = page.space !== null ? text('spaceCount', language, String(page.space.length))
    : page.spaceFailure ?? text('spaceWaiting', language);
}

/** Shows the matches of `page.results`: table, charts, details. */
export function showMatches(page: Page, actions: PageActions): void {
  showTable(byId<HTMLTableElement>('matches'), page, actions);
  showCharts(page, actions);
  showDetails(byId('details'), page, actions);
}

/** Everything from the answers the page holds. */
export function showResults(view: ResultsView, page: Page, actions: PageActions): void {
  showStatus(view, page);
  view.results.classList.toggle('stale', !page.current || page.shown?.error !== null);
  byId('report').textContent = page.results?.text ?? '';
  showMatches(page, actions);
  showDownloads(page);
}

function failureText(error: unknown, page: Page): string {
  const detail = error instanceof WorkerFailed ? error.detail : String(error);
  return text('workerFailed', page.state.language, detail);
}

/** The searches' view: what each of their steps changes on the page. */
export function searchView(view: ResultsView, page: Page, actions: PageActions): SearchView {
  const busy = (on: boolean) => view.results.toggleAttribute('aria-busy', on);
  return {
    pending() {
      page.current = false;
      setStatus(text(page.shown === null ? 'starting' : 'searching', page.state.language));
      busy(true);
      view.results.classList.add('stale');
      showDownloads(page);
    },
    answered(answer: Answer) {
      page.shown = answer;
      page.current = true;
      if (answer.error === null) {
        page.results = answer;
        page.space = null;
        page.spaceFailure = null;
        if (!answer.matches.some((match) => match.id === page.selected)) page.selected = null;
      }
      showResults(view, page, actions);
      busy(false);
      const searched = Number(document.body.dataset.searched ?? '0') + 1;
      document.body.dataset.searched = String(searched);
      // For the speed script (web/bench): when the first result was shown.
      if (searched === 1) performance.mark('tapsmith:first-result');
    },
    spaced(space: readonly AnswerMatch[]) {
      page.space = space;
      showCharts(page, actions);
    },
    failed(error: unknown, of: 'answer' | 'space') {
      if (of === 'space') {
        page.spaceFailure = failureText(error, page);
        showCharts(page, actions);
        return;
      }
      page.current = false;
      clearMarks(view.form);
      setStatus(failureText(error, page));
      busy(false);
      showDownloads(page);
    },
  };
}
