// The four divider configurations, drawn: the terminals from top to bottom,
// R1 and the pair R2, R3 (in parallel side by side, in series one above the
// other; R3 dashed when it is left unfitted). With a match's values, each
// resistor carries its value, and the drawing leaves room for them.

const kTerminals: Record<string, readonly [string, string, string]> = {
  a: ['Vo', 'Vfb', 'R1'],
  b: ['Vo', 'Vfb', 'R23'],
  c: ['Vfb', 'Vo', 'R1'],
  d: ['Vfb', 'Vo', 'R23'],
};

const kNs = 'http://www.w3.org/2000/svg';

/** The resistors' values as the core wrote them. */
export interface ResistorValues {
  r1: string;
  r2: string;
  r3: string;
}

/** Whether R1 is the leg to ground in `config` (else R2 with R3 is). */
export function r1ToGround(config: string): boolean {
  return (kTerminals[config] ?? kTerminals.a)[2] !== 'R1';
}

const escaped = (value: string) => value.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/"/g, '&quot;');

function resistor(x: number, y: number, height: number, name: string, dashed = false, anchorEnd = false): string {
  const dash = dashed ? ' stroke-dasharray="3 2"' : '';
  const label = anchorEnd ? `<text x="${x - 10}" y="${y + height / 2 + 4}" text-anchor="end">${name}</text>`
    : `<text x="${x + 10}" y="${y + height / 2 + 4}">${name}</text>`;
  return `<rect x="${x - 6}" y="${y}" width="12" height="${height}"${dash}/>${label}`;
}

function pair(y: number, series: boolean, dnmOnly: boolean, r2: string, r3: string): string {
  if (series) {
    return `<path d="M40 ${y} v4 M40 ${y + 28} v4 M40 ${y + 56} v4"/>` +
      resistor(40, y + 4, 24, r2) + resistor(40, y + 32, 24, r3, dnmOnly);
  }
  return `<path d="M40 ${y} v4 M24 ${y + 4} h36 M24 ${y + 56} h36 M40 ${y + 56} v4 M24 ${y + 4} v6 M24 ${y + 50} v6 M60 ${y + 4} v6 M60 ${y + 50} v6"/>` +
    resistor(24, y + 10, 40, r2, false, true) + resistor(60, y + 10, 40, r3, dnmOnly);
}

/**
 * The SVG of configuration `config` ("a" to "d"), `label` its accessible
 * name, each resistor named with its value when `values` are given.
 */
export function schematicSvg(config: string, series: boolean, dnmOnly: boolean, label: string, values?: ResistorValues): string {
  const [top, middle, first] = kTerminals[config] ?? kTerminals.a;
  const name = (resistorName: 'r1' | 'r2' | 'r3') =>
    `${resistorName.toUpperCase()}${values === undefined ? '' : ` ${escaped(values[resistorName])}`}`;
  const r1 = name('r1');
  const upper = first === 'R1' ? resistor(40, 18, 40, r1) : pair(14, series, dnmOnly, name('r2'), name('r3'));
  const lower = first === 'R1' ? pair(88, series, dnmOnly, name('r2'), name('r3')) : resistor(40, 92, 40, r1);
  // Room for the values: R2's on the left of a parallel pair, the others' on the right.
  const shift = values === undefined ? 0 : 64;
  const width = values === undefined ? 100 : 210;
  return `<svg xmlns="${kNs}" class="schematic" viewBox="0 0 ${width} 170" role="img" aria-label="${escaped(label)}">` +
    `<g transform="translate(${shift} 0)"><g fill="none" stroke="currentColor" stroke-width="1.6">` +
    '<path d="M40 8 v6 M40 58 v30 M40 132 v16 M40 148 v0 M28 150 h24 M32 155 h16 M36 160 h8"/>' +
    (first === 'R1' ? '<path d="M40 14 v4"/>' : '<path d="M40 74 v18"/>') +
    `</g><g fill="currentColor" stroke="none" font-size="11" font-family="sans-serif">` +
    `<circle cx="40" cy="8" r="3"/><text x="48" y="12">${top}</text>` +
    `<circle cx="40" cy="74" r="3"/><text x="48" y="78">${middle}</text>` +
    `</g><g fill="none" stroke="currentColor" stroke-width="1.6" font-size="11" font-family="sans-serif">` +
    upper + lower + '</g></g></svg>';
}
