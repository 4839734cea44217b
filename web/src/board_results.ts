// The board's choice as the core answered it: the status (which says
// whether the choice is proven optimal, or names the bound, or the rails no
// divider meets), each rail's chosen divider with its numbers as the core
// wrote them, the new values, the BOM values used, the resistors fitted, the
// console's report and the downloads. An error is the core's message, its
// rail's row or its field marked; the last choice stays, dimmed.
import type { Answer, AnswerBoard, AnswerBoardRail } from './core';
import { markRails } from './board_rails';
import type { BoardSearchView } from './board_search';
import { showDownloads } from './downloads';
import { type Language, type TextKey, text } from './i18n';
import type { Page } from './page_state';
import { WorkerFailed } from './search_client';

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

// The board's own fields, by the console option they feed.
const kBoardFields: Record<string, string> = { '--bom': 'board-bom', '--time-limit': 'board-time', '--rank': 'board-rank' };

interface Column {
  key: string;
  label: TextKey;
  report?: keyof AnswerBoardRail['reports'];
  number?: boolean;
}

const kColumns: readonly Column[] = [
  { key: 'r1', label: 'colR1' }, { key: 'r4', label: 'colR4' }, { key: 'r2', label: 'colR2' }, { key: 'r3', label: 'colR3' },
  { key: 'connection', label: 'colConnection' },
  { key: 'vout', label: 'colVout', number: true }, { key: 'deviation_percent', label: 'colDeviation', number: true },
  { key: 'vout_min', label: 'colLeast', report: 'worst_case', number: true },
  { key: 'vout_max', label: 'colGreatest', report: 'worst_case', number: true },
  { key: 'current_a', label: 'colCurrent', report: 'current', number: true },
  { key: 'yield', label: 'colYield', report: 'yield', number: true },
];

function cellText(rail: AnswerBoardRail, key: string, language: Language): string {
  const { match } = rail;
  if (match === null) return '';
  if (key === 'connection') return text(match.connection === 'series' ? 'cellSeries' : 'cellParallel', language);
  if (key === 'r4') return match.r4 ?? '';
  if (key === 'r1' || key === 'r2' || key === 'r3') return match[key];
  return match.texts[key] ?? '';
}

// A column shows when some rail has it: R4 where a rail may fit one, a report where a rail asks it.
function columnsOf(board: AnswerBoard): Column[] {
  return kColumns.filter((column) => (column.key !== 'r4' || board.rails.some((rail) => rail.r4 !== null)) &&
    (column.report === undefined || board.rails.some((rail) => rail.reports[column.report as keyof AnswerBoardRail['reports']])));
}

function showTable(board: AnswerBoard, language: Language): void {
  const table = byId<HTMLTableElement>('board-matches');
  const columns = columnsOf(board);
  const head = document.createElement('tr');
  for (const label of ['colRail' as TextKey, ...columns.map((column) => column.label)]) {
    head.append(Object.assign(document.createElement('th'), { scope: 'col', textContent: text(label, language) }));
  }
  head.querySelectorAll('th').forEach((th, index) => th.classList.toggle('number', columns[index - 1]?.number === true));
  table.tHead?.replaceChildren(head);
  table.tBodies[0].replaceChildren(...board.rails.map((rail) => {
    const row = document.createElement('tr');
    row.append(Object.assign(document.createElement('th'), { scope: 'row', textContent: rail.name }));
    for (const column of columns) {
      const cell = Object.assign(document.createElement('td'), { textContent: cellText(rail, column.key, language) });
      if (column.number) cell.className = 'number';
      row.append(cell);
    }
    return row;
  }));
}

function showValues(board: AnswerBoard, language: Language): void {
  const chips = (values: readonly string[], className: string) => values.length === 0
    ? [document.createTextNode(text('boardNoValue', language))]
    : values.map((value) => Object.assign(document.createElement('span'), { className, textContent: value }));
  const items: [string, Node[]][] = [
    [text('boardNewValues', language, String(board.new_values.length)), chips(board.new_values, 'value-chip new')],
    [text('boardBomUsed', language, String(board.bom_values_used.length)), chips(board.bom_values_used, 'value-chip')],
    [text('boardResistors', language), [document.createTextNode(String(board.resistors))]],
  ];
  byId('board-values').replaceChildren(...items.flatMap(([term, shown]) => {
    const description = document.createElement('dd');
    description.append(...shown);
    return [Object.assign(document.createElement('dt'), { textContent: term }), description];
  }));
}

function showFieldMarks(answer: Answer | null): void {
  for (const [option, id] of Object.entries(kBoardFields)) {
    const at = answer?.error?.options.includes(option) === true && (answer.error.line ?? null) === null;
    if (at) byId(id).setAttribute('aria-invalid', 'true');
    else byId(id).removeAttribute('aria-invalid');
  }
}

function statusOf(page: Page, answer: Answer): string {
  const { error } = answer;
  if (error === null) return answer.status;
  const rail = error.line === null || error.line === undefined ? undefined : page.board.rails[error.line - 1];
  if (rail !== undefined) return `${text('railError', page.state.language, rail.name)} ${answer.status}`;
  return error.kind === 'usage' ? `${text('usageError', page.state.language)} ${answer.status}` : answer.status;
}

/** Everything from the board's answer the page holds. */
export function showBoard(page: Page): void {
  const answer = page.boardShown;
  const { language } = page.state;
  const results = byId('board-results');
  results.classList.toggle('stale', !page.boardCurrent || answer?.error !== null);
  if (answer !== null && page.boardCurrent) byId('board-status').textContent = statusOf(page, answer);
  showFieldMarks(page.boardCurrent ? answer : null);
  markRails(page);
  const board = answer?.error === null ? answer.board ?? null : null;
  if (board !== null || answer === null) {
    const chosen = board !== null && board.rails.some((rail) => rail.match !== null);
    byId('board-choice').hidden = !chosen;
    if (chosen) {
      showTable(board, language);
      showValues(board, language);
    }
    byId('board-report').textContent = answer?.text ?? '';
  }
  showDownloads(page);
}

/** The board's searches' view: what each of their steps changes on the page. */
export function boardSearchView(page: Page): BoardSearchView {
  const results = () => byId('board-results');
  // The seconds a choice has taken so far, beside its status rather than in it: read out once.
  let ticker: ReturnType<typeof setInterval> | undefined;
  const elapsed = () => byId('board-elapsed');
  const stopTicking = () => {
    clearInterval(ticker);
    elapsed().hidden = true;
    results().removeAttribute('aria-busy');
  };
  return {
    empty() {
      stopTicking();
      page.boardShown = null;
      page.boardCurrent = false;
      byId('board-status').textContent = '';
      showBoard(page);
    },
    pending() {
      page.boardCurrent = false;
      clearInterval(ticker);
      byId('board-status').textContent = text('boardSearching', page.state.language);
      const started = performance.now();
      const tick = () => {
        elapsed().textContent = text('boardElapsed', page.state.language, String(Math.floor((performance.now() - started) / 1000)));
      };
      tick();
      elapsed().hidden = false;
      ticker = setInterval(tick, 1000);
      results().setAttribute('aria-busy', 'true');
      showBoard(page);
    },
    answered(answer) {
      stopTicking();
      page.boardShown = answer;
      page.boardCurrent = true;
      showBoard(page);
      document.body.dataset.boardSearched = String(Number(document.body.dataset.boardSearched ?? '0') + 1);
    },
    failed(error) {
      stopTicking();
      const detail = error instanceof WorkerFailed ? error.detail : String(error);
      byId('board-status').textContent = text('workerFailed', page.state.language, detail);
      showBoard(page);
    },
  };
}
