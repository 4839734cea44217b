// The table of the matches shown: a column per number the answer reports,
// each heading with its unit, the texts the core wrote for them, and a "#"
// column that is the charts' row label, kept however the table is sorted.
// A row's "#" button (or the row itself) chooses the match.
import type { Answer, AnswerMatch } from './core';
import { type Language, type TextKey, text } from './i18n';
import { type Page, type PageActions, rankedMatches } from './page_state';

type Reports = NonNullable<Answer['reports']>;

interface Column {
  key: string;
  label: TextKey;
  /** Shown only with this report. */
  report?: keyof Reports;
  /** A column of numbers: right-aligned, sorted by the answer's numbers. */
  number?: boolean;
  /** Shown only when R4 may join R1. */
  r4?: boolean;
}

const kColumns: readonly Column[] = [
  { key: 'rank', label: 'colIndex', number: true },
  { key: 'r1', label: 'colR1' },
  { key: 'r4', label: 'colR4', r4: true },
  { key: 'r2', label: 'colR2' },
  { key: 'r3', label: 'colR3' },
  { key: 'connection', label: 'colConnection' },
  { key: 'vout', label: 'colVout', number: true },
  { key: 'deviation_percent', label: 'colDeviation', number: true },
  { key: 'vout_min', label: 'colLeast', report: 'worst_case', number: true },
  { key: 'vout_max', label: 'colGreatest', report: 'worst_case', number: true },
  { key: 'current_a', label: 'colCurrent', report: 'current', number: true },
  { key: 'yield', label: 'colYield', report: 'yield', number: true },
];

const collator = new Intl.Collator(undefined, { numeric: true });

// What a column sorts by: the answer's number, or for a resistor its ohms
// (r1_ohms...), else its name in collation order.
function sortValue(match: AnswerMatch, rank: number, key: string): number | string | null {
  if (key === 'rank') return rank;
  const fields = match as unknown as Record<string, unknown>;
  // An open position (DNM) has no ohms, and sorts last.
  const value = `${key}_ohms` in fields ? fields[`${key}_ohms`] : fields[key];
  return typeof value === 'number' || typeof value === 'string' ? value : null;
}

function compare(a: number | string | null, b: number | string | null): number {
  if (a === null || b === null) return a === b ? 0 : a === null ? 1 : -1;
  if (typeof a === 'number' && typeof b === 'number') return a - b;
  return collator.compare(String(a), String(b));
}

function cellText(match: AnswerMatch, key: string, language: Language): string {
  if (key === 'connection') return text(match.connection === 'series' ? 'cellSeries' : 'cellParallel', language);
  if (key === 'r4') return match.r4 ?? '';
  if (key === 'r1' || key === 'r2' || key === 'r3') return match[key];
  return match.texts[key] ?? '';
}

function columnsOf(answer: Answer | null): Column[] {
  return kColumns.filter((column) => (column.report === undefined || answer?.reports?.[column.report] === true) &&
    (!column.r4 || (answer?.r4 ?? null) !== null));
}

/** Draws the table of `page.results` in `table`, in `page.order`. */
export function showTable(table: HTMLTableElement, page: Page, actions: PageActions): void {
  const { language } = page.state;
  const columns = columnsOf(page.results);
  const rows = rankedMatches(page.results);
  const head = document.createElement('tr');
  for (const column of columns) {
    const th = document.createElement('th');
    th.scope = 'col';
    if (column.number) th.className = 'number';
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = text(column.label, language);
    button.addEventListener('click', () => {
      page.order = page.order?.key === column.key ? { key: column.key, descending: !page.order.descending } : { key: column.key, descending: false };
      actions.sorted();
      table.querySelector<HTMLElement>('th[aria-sort] button')?.focus();
    });
    if (page.order?.key === column.key) th.setAttribute('aria-sort', page.order.descending ? 'descending' : 'ascending');
    th.append(button);
    head.append(th);
  }
  table.tHead?.replaceChildren(...(rows.length > 0 ? [head] : []));
  const order = page.order;
  if (order !== null) {
    const sign = order.descending ? -1 : 1;
    // Array.sort is stable: equal values keep the answer's order.
    rows.sort((a, b) => sign * compare(sortValue(a.match, a.rank, order.key), sortValue(b.match, b.rank, order.key)));
  }
  const body = table.tBodies[0];
  body.replaceChildren(...rows.map(({ rank, match }) => {
    const tr = document.createElement('tr');
    tr.dataset.id = match.id;
    if (match.id === page.selected) tr.setAttribute('aria-current', 'true');
    for (const column of columns) {
      const td = document.createElement('td');
      if (column.number) td.className = 'number';
      if (column.key === 'rank') {
        const button = document.createElement('button');
        button.type = 'button';
        button.className = 'choose';
        button.textContent = `#${rank}`;
        button.setAttribute('aria-label', text('chooseRow', language, String(rank)));
        button.setAttribute('aria-pressed', String(match.id === page.selected));
        td.append(button);
      } else {
        td.textContent = cellText(match, column.key, language);
      }
      tr.append(td);
    }
    tr.addEventListener('click', () => actions.choose(match.id === page.selected ? null : match.id, 'table'));
    return tr;
  }));
  if (rows.length === 0) {
    const tr = document.createElement('tr');
    const td = document.createElement('td');
    td.textContent = text('nothingShown', language);
    tr.append(td);
    body.replaceChildren(tr);
  }
}
