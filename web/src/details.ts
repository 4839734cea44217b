// The chosen match's details: its configuration drawn with its values at
// the resistors, and its numbers as the core wrote them, each with its
// unit: the nominal output, the deviation, the worst case, the currents of
// both legs and the yield.
import { type TextKey, text } from './i18n';
import type { Page, PageActions } from './page_state';
import { rankedMatches } from './page_state';
import { type R4Joint, r1ToGround, schematicSvg } from './schematic';

/** Shows the details of `page.selected` in `panel`, or hides it. */
export function showDetails(panel: HTMLElement, page: Page, actions: PageActions): void {
  const { language } = page.state;
  const found = rankedMatches(page.results).find(({ match }) => match.id === page.selected);
  panel.hidden = found === undefined;
  if (found === undefined || page.results === null) return;
  const { rank, match } = found;
  const config = page.results.configuration ?? 'a';
  const series = match.connection === 'series';
  const heading = document.createElement('h3');
  heading.id = 'details-heading';
  heading.tabIndex = -1;
  heading.textContent = text('details', language, String(rank));
  const close = document.createElement('button');
  close.type = 'button';
  close.className = 'details-close';
  close.textContent = text('detailsClose', language);
  close.addEventListener('click', () => actions.choose(null, 'table'));
  const picture = document.createElement('div');
  picture.className = 'details-schematic';
  // R3 dashed where the match leaves it open (DNM).
  const joint = match.r4_connection ?? '';
  picture.innerHTML = schematicSvg(config, series, match.r3_ohms === null,
    text('detailsSchematic', language, config), match, (page.results?.r4 ?? joint) as R4Joint);
  const list = document.createElement('dl');
  const { texts } = match;
  const leg = joint === '' ? 'R1' : joint === 'series' ? 'R1 + R4' : 'R1 // R4';
  const legs = r1ToGround(config) ? [leg, series ? 'R2 + R3' : 'R2 // R3'] : [series ? 'R2 + R3' : 'R2 // R3', leg];
  const items: [TextKey, string | undefined][] = [
    ['detailOutput', text('volts', language, texts.vout)],
    ['detailDeviation', texts.deviation_percent === '' ? undefined : text('percent', language, texts.deviation_percent)],
    ['detailWorst', texts.vout_min === undefined ? undefined : text('voltsRange', language, texts.vout_min, texts.vout_max ?? '')],
    ['detailLower', texts.current_a],
    ['detailUpper', texts.current_upper_a],
    ['detailYield', texts.yield === undefined ? undefined : text('percent', language, texts.yield)],
  ];
  for (const [key, value] of items) {
    if (value === undefined) continue;
    const term = document.createElement('dt');
    term.textContent = key === 'detailLower' ? text(key, language, legs[0]) : key === 'detailUpper' ? text(key, language, legs[1]) : text(key, language);
    const description = document.createElement('dd');
    description.textContent = value;
    list.append(term, description);
  }
  const body = document.createElement('div');
  body.className = 'details-body';
  body.append(picture, list);
  panel.replaceChildren(heading, close, body);
}
