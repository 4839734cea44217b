// Random tapsmith-cli argument lists for the differential tests: any option
// of the console's, good values and bad, in any order, so that the module
// and the page are held to the native program everywhere, errors included.

/** A small seeded generator, so that a failing list can be drawn again. */
export function seededRandom(seed: number): () => number {
  let state = seed >>> 0;
  return () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// Each option with values that it takes and values that it refuses (an
// empty pair for a flag); a refused one is drawn one time in eight.
const kVolts = ['3.3', '1.35', '0.8', '5', '1.2', '792mV', '0.8V', '3300m', '', ' 1.8', '1e999', '0'];
const kBadVolts = ['1.3x', 'abc', '-1', '5A'];
const kOhms = ['1k', '10k', '4.7k', '100', '9.1k', '100k', '1M', '0', '2.2K', '470'];
const kCurrents = ['10uA', '0.5mA', '50nA', '1A', '100u', '1m', '0', '5pA', '2mA'];
const kValues = ['1k, 2.2k, 4.7k, 10k', '10 22 47\n100 220 470\n1k 2.2k 4.7k', '', '-', 'abc', '4,7',
  '1k 1k 1k', '〜', '1k\r\n2k\r\n3k', '100 150 220 330 470 680 1k 1.5k 2.2k 3.3k 4.7k 6.8k 10k'];

const kOptions: readonly [string, readonly string[], readonly string[]][] = [
  ['--vo', kVolts, kBadVolts], ['--vo2', [...kVolts, '0.01%', '1%', '3%', '5%', '0.5', '1300m'], ['x%', ...kBadVolts]],
  ['--r1-min', kOhms, ['abc', '5V']], ['--r1-max', kOhms, ['abc', '5V']],
  ['--vfb', kVolts, kBadVolts], ['--digits', ['0', '1', '2', '3', '6', '-1', '99999999999'], ['x']],
  ['--config', ['a', 'b', 'c', 'd', 'B'], ['e']], ['--serial', [], []], ['--parallel', [], []],
  ['--dnm-only', [], []], ['--no-dnm-only', [], []],
  ['--list', ['List1', 'List2', 'List3', 'E24', 'E12', 'E6', 'e24', 'E48', 'E96', 'E192'], ['E7']],
  ['--values', kValues, []], ['--sort', ['voltage', 'precision', 'resistors'], ['x']], ['--lang', ['ja', 'en'], ['de']],
  ['--range', ['1k..100k', '10..1M', '100..10k', '4.7k..47k', '1m..2m'], ['10-1M', '1M..1k', '1..1000M']],
  ['--tolerance', ['1%', '0.5', '2%', '0', '5%'], ['100%', 'abc', '-1']],
  ['--vfb-min', kVolts, kBadVolts], ['--vfb-max', kVolts, kBadVolts], ['--worst-case', [], []],
  ['--current-min', kCurrents, ['x', '10uA ']], ['--current-max', kCurrents, ['x']],
  ['--best', ['1', '5', '10', '1000', '20'], ['0', '1001', '2.5']],
  ['--pin-current', ['50n', '1uA', '-20nA', '0', '100u', '5p'], ['x']],
  ['--pin-current-min', ['10n', '0', '-1u'], ['x']], ['--pin-current-max', ['100n', '2u'], ['x']],
  ['--yield', [], []], ['--sigma', ['3', '2', '6', '1.5'], ['0', 'x']],
  ['--yield-min', ['0.9', '99.7%', '0.5', '1'], ['0', '1.5', 'x']], ['--rank', ['closest', 'yield'], ['x']], ['--format', ['text', 'csv', 'json'], ['xml']],
];

/** The options the generator draws from. */
export const kRandomOptions = kOptions.map(([option]) => option);

/** One argument list: a few options, mostly with plausible values. */
export function randomArguments(random: () => number): string[] {
  const pick = <T>(items: readonly T[]): T => items[Math.floor(random() * items.length)];
  const args: string[] = [];
  const given = new Set<string>();
  const give = (option: string, value?: string) => {
    given.add(option);
    args.push(option, ...(value === undefined ? [] : [value]));
  };
  // A design most of the time, so that most lists search rather than fail.
  if (random() < 0.7) {
    give('--vo', pick(['3.3', '1.35', '5', '1.8']));
    give('--vo2', pick(['1%', '3%', '0.1%', '5%']));
  }
  if (random() < 0.5) give('--vfb', pick(['0.8', '0.6', '1.25']));
  const count = Math.floor(random() * 6);
  for (let i = 0; i < count; ++i) {
    const [option, good, bad] = pick(kOptions);
    // An option given twice is a usage error: now and then only.
    if (given.has(option) && random() < 0.95) continue;
    if (option === '--range' && !given.has('--list') && !given.has('--values') && random() < 0.8) {
      give('--list', pick(['E48', 'E96', 'E192']));
    }
    give(option, good.length === 0 ? undefined : bad.length > 0 && random() < 0.125 ? pick(bad) : pick(good));
  }
  if (random() < 0.05) args.push(pick(['--bogus', '--help', '--version', '--settings', '--save']));
  return args;
}
