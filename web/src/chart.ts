// The chart of the matches shown: each one's worst-case band as a bar and
// its nominal output as a dot, over the target window shaded, its yield
// written beside it, the chosen one highlighted. Observable Plot draws it;
// the numbers are the answer's own, the texts the core's.
import * as Plot from '@observablehq/plot';

import type { Answer, AnswerMatch } from './core';
import { type Language, text } from './i18n';
import { matchName } from './matches';
import { rankedMatches } from './page_state';

interface Row {
  rank: number;
  id: string;
  match: AnswerMatch;
}

const kRowHeight = 22;
const kMaxHeight = 640;

function tipText(row: Row, language: Language): string {
  const { match } = row;
  const lines = [`#${row.rank} ${matchName(match, language)}`,
    `${text('chartNominal', language)}: ${text('volts', language, match.texts.vout)}`];
  if (match.texts.vout_min !== undefined) {
    lines.push(`${text('chartBand', language)}: ${text('voltsRange', language, match.texts.vout_min, match.texts.vout_max ?? '')}`);
  }
  if (match.texts.yield !== undefined) lines.push(`${text('chartYield', language)}: ${text('percent', language, match.texts.yield)}`);
  return lines.join('\n');
}

/**
 * The chart as an element, or null when there is nothing to draw; choosing
 * a row (a click on it) calls `choose` with its match's id.
 */
export function drawChart(answer: Answer, selected: string | null, language: Language, width: number,
                          choose: (id: string) => void): Element | null {
  const rows: Row[] = rankedMatches(answer).map(({ rank, match }) => ({ rank, id: match.id, match }));
  if (rows.length === 0) return null;
  const banded = rows.filter((row) => row.match.vout_min !== undefined);
  const chosen = rows.filter((row) => row.id === selected);
  const withYield = answer.reports?.yield === true;
  const { window } = answer;
  const marks: Plot.Markish[] = [];
  if (window !== null) {
    marks.push(Plot.rectX([window], { x1: 'least', x2: 'greatest', fill: '#2f7d32', fillOpacity: 0.14 }));
    if (window.typical !== 0) marks.push(Plot.ruleX([window.typical], { stroke: '#2f7d32', strokeDasharray: '4 3' }));
  }
  const band = { x1: (row: Row) => row.match.vout_min, x2: (row: Row) => row.match.vout_max, y: 'rank', insetTop: 5, insetBottom: 5 };
  marks.push(
    Plot.barX(banded, { ...band, fill: '#5470c6', fillOpacity: 0.55 }),
    Plot.barX(chosen.filter((row) => row.match.vout_min !== undefined), { ...band, fill: '#e07b00', fillOpacity: 0.8, className: 'chosen' }),
    Plot.dot(rows, { x: (row: Row) => row.match.vout, y: 'rank', fill: '#1b2a4a', r: 3.5 }),
    Plot.dot(chosen, { x: (row: Row) => row.match.vout, y: 'rank', stroke: '#e07b00', strokeWidth: 2.5, r: 7, className: 'chosen' }),
  );
  if (withYield) {
    marks.push(Plot.text(rows, {
      y: 'rank', frameAnchor: 'right', textAnchor: 'start', dx: 8, fill: 'currentColor',
      text: (row: Row) => text('percent', language, row.match.texts.yield ?? ''),
    }));
  }
  marks.push(Plot.tip(rows, Plot.pointerY({ x: (row: Row) => row.match.vout, y: 'rank', title: (row: Row) => tipText(row, language), lineWidth: 40 })));
  const chart = Plot.plot({
    width,
    height: Math.min(kMaxHeight, 50 + rows.length * kRowHeight),
    marginLeft: 44,
    marginRight: withYield ? 88 : 20,
    ariaLabel: text('chart', language),
    ariaDescription: text('chartDescription', language),
    x: { label: text('chartX', language), grid: true },
    y: {
      type: 'band',
      domain: rows.map((row) => row.rank),
      label: null,
      tickFormat: (rank: number) => `#${rank}`,
      axis: rows.length <= 40 ? 'left' : null,
    },
    marks,
  });
  // The pointer picks the row nearest it; a click on the chart chooses it.
  chart.addEventListener('click', () => {
    const row = (chart as unknown as { value?: Row | null }).value;
    if (row) choose(row.id);
  });
  // Plot names each mark's group ("dot", "bar"), which a plain group may not
  // carry; the chart is named as a whole, and the table holds its numbers.
  for (const group of chart.querySelectorAll('g[aria-label]')) group.removeAttribute('aria-label');
  return chart;
}
