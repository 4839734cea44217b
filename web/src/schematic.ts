// The four divider configurations, drawn: the terminals from top to bottom,
// R1 and the pair R2, R3 (in parallel side by side, in series one above the
// other; R3 dashed when it is left unfitted).

const kTerminals: Record<string, readonly [string, string, string]> = {
  a: ['Vo', 'Vfb', 'R1'],
  b: ['Vo', 'Vfb', 'R23'],
  c: ['Vfb', 'Vo', 'R1'],
  d: ['Vfb', 'Vo', 'R23'],
};

const kNs = 'http://www.w3.org/2000/svg';

function resistor(x: number, y: number, height: number, name: string, dashed = false): string {
  const dash = dashed ? ' stroke-dasharray="3 2"' : '';
  return `<rect x="${x - 6}" y="${y}" width="12" height="${height}"${dash}/>` +
    `<text x="${x + 10}" y="${y + height / 2 + 4}">${name}</text>`;
}

function pair(y: number, series: boolean, dnmOnly: boolean): string {
  if (series) {
    return `<path d="M40 ${y} v4 M40 ${y + 28} v4 M40 ${y + 56} v4"/>` +
      resistor(40, y + 4, 24, 'R2') + resistor(40, y + 32, 24, 'R3', dnmOnly);
  }
  return `<path d="M40 ${y} v4 M24 ${y + 4} h36 M24 ${y + 56} h36 M40 ${y + 56} v4 M24 ${y + 4} v6 M24 ${y + 50} v6 M60 ${y + 4} v6 M60 ${y + 50} v6"/>` +
    resistor(24, y + 10, 40, '') + `<text x="4" y="${y + 34}">R2</text>` +
    resistor(60, y + 10, 40, 'R3', dnmOnly);
}

/** The SVG of configuration `config` ("a" to "d"), `label` its accessible name. */
export function schematicSvg(config: string, series: boolean, dnmOnly: boolean, label: string): string {
  const [top, middle, first] = kTerminals[config] ?? kTerminals.a;
  const upper = first === 'R1' ? resistor(40, 18, 40, 'R1') : '';
  const upperPair = first === 'R1' ? '' : pair(14, series, dnmOnly);
  const lowerR1 = first === 'R1' ? '' : resistor(40, 92, 40, 'R1');
  const lowerPair = first === 'R1' ? pair(88, series, dnmOnly) : '';
  return `<svg xmlns="${kNs}" class="schematic" viewBox="0 0 100 170" role="img" aria-label="${label}">` +
    '<g fill="none" stroke="currentColor" stroke-width="1.6">' +
    '<path d="M40 8 v6 M40 58 v30 M40 132 v16 M40 148 v0 M28 150 h24 M32 155 h16 M36 160 h8"/>' +
    (first === 'R1' ? '<path d="M40 14 v4"/>' : '<path d="M40 74 v18"/>') +
    `</g><g fill="currentColor" stroke="none" font-size="11" font-family="sans-serif">` +
    `<circle cx="40" cy="8" r="3"/><text x="48" y="12">${top}</text>` +
    `<circle cx="40" cy="74" r="3"/><text x="48" y="78">${middle}</text>` +
    `</g><g fill="none" stroke="currentColor" stroke-width="1.6" font-size="11" font-family="sans-serif">` +
    upper + upperPair + lowerR1 + lowerPair + '</g></svg>';
}
