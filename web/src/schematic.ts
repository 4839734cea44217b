// The four divider configurations, drawn: the terminals from top to bottom,
// R1's leg (R1 alone, or with R4 beside it) and the pair R2, R3, each leg a
// block of the same height: two resistors in parallel side by side, in
// series one above the other; R3 or R4 dashed when it is left open. With a
// match's values, each resistor carries its value, and the drawing leaves
// room for them.

const kTerminals: Record<string, readonly [string, string, boolean]> = {
  a: ['Vo', 'Vfb', true],  // R1's leg above the middle node
  b: ['Vo', 'Vfb', false],
  c: ['Vfb', 'Vo', true],
  d: ['Vfb', 'Vo', false],
};

const kNs = 'http://www.w3.org/2000/svg';

/** How R4 joins R1: not at all, in parallel or in series. */
export type R4Joint = '' | 'parallel' | 'series';

/** The resistors' values as the core wrote them; r4 null: R1 alone. */
export interface ResistorValues {
  r1: string;
  r2: string;
  r3: string;
  r4?: string | null;
}

/** Whether R1's leg is the leg to ground in `config` (else R2 with R3 is). */
export function r1ToGround(config: string): boolean {
  return !(kTerminals[config] ?? kTerminals.a)[2];
}

const escaped = (value: string) => value.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/"/g, '&quot;');

function resistor(x: number, y: number, height: number, name: string, dashed = false, anchorEnd = false): string {
  const dash = dashed ? ' stroke-dasharray="3 2"' : '';
  const label = anchorEnd ? `<text x="${x - 10}" y="${y + height / 2 + 4}" text-anchor="end">${name}</text>`
    : `<text x="${x + 10}" y="${y + height / 2 + 4}">${name}</text>`;
  return `<rect x="${x - 6}" y="${y}" width="12" height="${height}"${dash}/>${label}`;
}

// A leg of one resistor, from y to y + 60.
function single(y: number, name: string): string {
  return `<path d="M40 ${y} v10 M40 ${y + 50} v10"/>` + resistor(40, y + 10, 40, name);
}

// A leg of two resistors, from y to y + 60; the second dashed when open.
function double(y: number, series: boolean, first: string, second: string, secondOpen: boolean): string {
  if (series) {
    return `<path d="M40 ${y} v4 M40 ${y + 28} v4 M40 ${y + 56} v4"/>` +
      resistor(40, y + 4, 24, first) + resistor(40, y + 32, 24, second, secondOpen);
  }
  return `<path d="M40 ${y} v4 M24 ${y + 4} h36 M24 ${y + 56} h36 M40 ${y + 56} v4 M24 ${y + 4} v6 M24 ${y + 50} v6 M60 ${y + 4} v6 M60 ${y + 50} v6"/>` +
    resistor(24, y + 10, 40, first, false, true) + resistor(60, y + 10, 40, second, secondOpen);
}

/**
 * The SVG of configuration `config` ("a" to "d"), `label` its accessible
 * name, R4 beside R1 as `r4` says, each resistor named with its value when
 * `values` are given.
 */
export function schematicSvg(config: string, series: boolean, r3Open: boolean, label: string, values?: ResistorValues,
                             r4: R4Joint = ''): string {
  const [top, middle, legAbove] = kTerminals[config] ?? kTerminals.a;
  const name = (resistorName: 'r1' | 'r2' | 'r3' | 'r4') =>
    `${resistorName.toUpperCase()}${values === undefined ? '' : ` ${escaped(values[resistorName] ?? '')}`}`;
  // A match whose R4 is DNM in parallel is R1 alone.
  const joint = values !== undefined && r4 === 'parallel' && (values.r4 ?? null) === null ? '' : r4;
  const leg = (y: number) => (joint === '' ? single(y, name('r1'))
    : double(y, joint === 'series', name('r1'), name('r4'), values !== undefined && values.r4 === 'DNM'));
  const pair = (y: number) => double(y, series, name('r2'), name('r3'), r3Open);
  const upper = legAbove ? leg(14) : pair(14);
  const lower = legAbove ? pair(88) : leg(88);
  // Room for the values: on the left of a parallel block, the others' on the right.
  const shift = values === undefined ? 0 : 64;
  const width = values === undefined ? 100 : 210;
  return `<svg xmlns="${kNs}" class="schematic" viewBox="0 0 ${width} 170" role="img" aria-label="${escaped(label)}">` +
    `<g transform="translate(${shift} 0)"><g fill="none" stroke="currentColor" stroke-width="1.6">` +
    '<path d="M40 8 v6 M40 74 v14 M40 148 v2 M28 150 h24 M32 155 h16 M36 160 h8"/>' +
    `</g><g fill="currentColor" stroke="none" font-size="11" font-family="sans-serif">` +
    `<circle cx="40" cy="8" r="3"/><text x="48" y="12">${top}</text>` +
    `<circle cx="40" cy="74" r="3"/><text x="48" y="78">${middle}</text>` +
    `</g><g fill="none" stroke="currentColor" stroke-width="1.6" font-size="11" font-family="sans-serif">` +
    upper + lower + '</g></g></svg>';
}
