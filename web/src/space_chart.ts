// The picture of the whole design space: every combination that qualifies
// (up to the 1000 best by the search's own rank), its deviation from the
// typical voltage against the divider's current on a log scale, coloured by
// its yield when the yield is asked. The matches shown are ringed and carry
// their "#"; hovering names a combination, a click on one of those shown
// chooses it.
import * as Plot from '@observablehq/plot';

import type { Answer, AnswerMatch } from './core';
import { type Language, text } from './i18n';
import { matchName } from './matches';
import { rankedMatches } from './page_state';

interface Point {
  match: AnswerMatch;
  /** Its "#" among the matches shown, if it is one of them. */
  rank?: number;
}

function tipText(point: Point, language: Language): string {
  const { match } = point;
  const lines = [`${point.rank === undefined ? '' : `#${point.rank} `}${matchName(match, language)}`,
    `${text('chartNominal', language)}: ${text('volts', language, match.texts.vout)}`];
  if (match.texts.deviation_percent !== '') lines.push(`${text('colDeviation', language)}: ${match.texts.deviation_percent}`);
  lines.push(`${text('colCurrent', language)}: ${match.texts.current_a}`);
  if (match.texts.yield !== undefined) lines.push(`${text('chartYield', language)}: ${text('percent', language, match.texts.yield)}`);
  return lines.join('\n');
}

/** The chart of `space` around the answer shown, or null with nothing to draw. */
export function drawSpace(answer: Answer, space: readonly AnswerMatch[], selected: string | null, language: Language,
                          width: number, choose: (id: string) => void): Element | null {
  const ranks = new Map(rankedMatches(answer).map(({ rank, match }) => [match.id, rank]));
  // A log scale has no place for a current of zero or below.
  const points: Point[] = space.filter((match) => match.current_a > 0).map((match) => ({ match, rank: ranks.get(match.id) }));
  if (points.length === 0) return null;
  const shown = points.filter((point) => point.rank !== undefined);
  const byDeviation = points.every((point) => point.match.deviation_percent !== null);
  const y = (point: Point) => (byDeviation ? point.match.deviation_percent : point.match.vout);
  const x = (point: Point) => point.match.current_a;
  const withYield = answer.reports?.yield === true;
  const chart = Plot.plot({
    width,
    height: Math.round(Math.min(420, Math.max(260, width * 0.5))),
    marginLeft: 60,
    ariaLabel: text('space', language),
    ariaDescription: text('spaceDescription', language),
    x: { type: 'log', label: text('spaceX', language), grid: true },
    y: { label: text(byDeviation ? 'spaceY' : 'spaceYVolts', language), grid: true },
    color: withYield ? { type: 'linear', scheme: 'viridis', percent: true, legend: true, ticks: 3, label: text('colYield', language) } : undefined,
    marks: [
      Plot.ruleY(byDeviation ? [0] : [], { stroke: '#2f7d32', strokeDasharray: '4 3' }),
      Plot.dot(points, { x, y, r: 2.5, fill: withYield ? (point: Point) => point.match.yield : '#5470c6', fillOpacity: 0.75 }),
      Plot.dot(shown, { x, y, r: 6, stroke: '#1b2a4a', strokeWidth: 1.5 }),
      Plot.dot(shown.filter((point) => point.match.id === selected), { x, y, r: 9, stroke: '#e07b00', strokeWidth: 3, className: 'chosen' }),
      Plot.text(shown, { x, y, text: (point: Point) => `#${point.rank}`, dy: -11, fontWeight: 'bold', fill: 'currentColor' }),
      Plot.tip(points, Plot.pointer({ x, y, title: (point: Point) => tipText(point, language), lineWidth: 40 })),
    ],
  });
  chart.addEventListener('click', () => {
    const point = (chart as unknown as { value?: Point | null }).value;
    if (point?.rank !== undefined) choose(point.match.id);
  });
  for (const group of chart.querySelectorAll('g[aria-label]')) group.removeAttribute('aria-label');
  return chart;
}
