// The chart of the matches shown: each one's worst-case band as a bar and its
// nominal output as a dot, over the target window shaded. Observable Plot
// draws it; the numbers are the console's own, from its JSON.
import * as Plot from '@observablehq/plot';

import type { TargetWindow } from './core';
import { type Language, text } from './i18n';
import { type Match, matchName } from './matches';

interface Row {
  rank: number;
  name: string;
  vout: number;
  least?: number;
  greatest?: number;
  yield?: number;
}

const kRowHeight = 22;
const kMaxHeight = 640;

/** The chart as an element, or null when there is nothing to draw. */
export function drawChart(matches: readonly Match[], window: TargetWindow | null, language: Language,
                          width: number): Element | null {
  const rows: Row[] = matches.map((match, index) => ({
    rank: index + 1,
    name: matchName(match),
    vout: match.vout as number,
    least: typeof match.vout_min === 'number' ? match.vout_min : undefined,
    greatest: typeof match.vout_max === 'number' ? match.vout_max : undefined,
    yield: typeof match.yield === 'number' ? match.yield : undefined,
  }));
  if (rows.length === 0) return null;
  const banded = rows.filter((row) => row.least !== undefined);
  const height = Math.min(kMaxHeight, 50 + rows.length * kRowHeight);
  const volts = (v: number) => `${v} V`;
  const tipText = (row: Row) =>
    `#${row.rank} ${row.name}\n${text('chartNominal', language)}: ${volts(row.vout)}` +
    (row.least !== undefined ? `\n${text('chartBand', language)}: ${row.least} – ${volts(row.greatest ?? row.least)}` : '') +
    (row.yield !== undefined ? `\n${text('colYield', language)}: ${row.yield}` : '');
  const marks: Plot.Markish[] = [];
  if (window !== null) {
    marks.push(Plot.rectX([window], { x1: 'least', x2: 'greatest', fill: '#2f7d32', fillOpacity: 0.14 }));
    if (window.typical !== 0) marks.push(Plot.ruleX([window.typical], { stroke: '#2f7d32', strokeDasharray: '4 3' }));
  }
  marks.push(
    Plot.barX(banded, { x1: 'least', x2: 'greatest', y: 'rank', fill: '#5470c6', fillOpacity: 0.55, insetTop: 5, insetBottom: 5 }),
    Plot.dot(rows, { x: 'vout', y: 'rank', fill: '#1b2a4a', r: 3.5 }),
    Plot.tip(rows, Plot.pointerY({ x: 'vout', y: 'rank', title: tipText, lineWidth: 40 })),
  );
  const chart = Plot.plot({
    width,
    height,
    marginLeft: 44,
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
  // Plot names each mark's group ("dot", "bar"), which a plain group may not
  // carry; the chart is named as a whole, and the table holds its numbers.
  for (const group of chart.querySelectorAll('g[aria-label]')) group.removeAttribute('aria-label');
  return chart;
}
