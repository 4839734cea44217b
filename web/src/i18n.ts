// Every text the page shows, in both of its languages. The console's own
// texts (the status, the report) come from the core in the page's language.

export type Language = 'ja' | 'en';

export const kLanguages: readonly Language[] = ['ja', 'en'];

/** A text in both languages. */
export interface Texts {
  ja: string;
  en: string;
}

const kTexts = {
  title: { ja: 'Tapsmith — 帰還抵抗の組み合わせ探索', en: 'Tapsmith — feedback divider search' },
  intro: {
    ja: 'レギュレータの帰還分圧器で出力電圧を決める抵抗の組み合わせを探します。入力するたびに探索します。',
    en: 'Finds the resistor combinations that set a regulator\'s output voltage through its feedback divider. It searches as you type.',
  },
  switchLanguage: { ja: 'English', en: '日本語' },
  switchLanguageLabel: { ja: 'Switch to English', en: '日本語に切り替える' },
  copyLink: { ja: 'リンクをコピー', en: 'Copy link' },
  linkCopied: { ja: 'リンクをコピーしました。', en: 'Link copied.' },
  linkShown: { ja: 'このリンクをコピーしてください:', en: 'Copy this link:' },
  target: { ja: '目標の出力電圧', en: 'Target output voltage' },
  voMode: { ja: '窓の指定', en: 'Window given as' },
  voModeTypical: { ja: '標準値と許容差', en: 'typical and tolerance' },
  voModeRange: { ja: '最小値と最大値', en: 'minimum and maximum' },
  voTypical: { ja: 'Vo(typ) [V]', en: 'Vo(typ) [V]' },
  voMin: { ja: 'Vo(min) [V]', en: 'Vo(min) [V]' },
  voTolerance: { ja: '許容差 [%]', en: 'Tolerance [%]' },
  voMax: { ja: 'Vo(max) [V]', en: 'Vo(max) [V]' },
  divider: { ja: '分圧器', en: 'Divider' },
  config: { ja: '構成', en: 'Configuration' },
  connection: { ja: 'R2 と R3 の接続', en: 'R2 and R3 joined' },
  parallel: { ja: '並列', en: 'in parallel' },
  series: { ja: '直列', en: 'in series' },
  dnmOnly: { ja: 'R3=DNM のみ (R3 を実装しない)', en: 'R3=DNM only (R3 left unfitted)' },
  r1Min: { ja: 'R1(min) [Ω]', en: 'R1(min) [Ω]' },
  r1Max: { ja: 'R1(max) [Ω]', en: 'R1(max) [Ω]' },
  vfb: { ja: 'Vfb [V]', en: 'Vfb [V]' },
  digits: { ja: '出力の小数桁 (0 = 任意)', en: 'Output\'s decimal places (0 = any)' },
  list: { ja: '部品リスト', en: 'Stock list' },
  listChoice: { ja: 'リスト', en: 'List' },
  listBuiltIn: { ja: '標準系列', en: 'Series' },
  listSamples: { ja: 'ウィンドウの見本リスト', en: 'The window\'s sample lists' },
  listOwn: { ja: '自分のリスト', en: 'My lists' },
  listWhole: { ja: '10 Ω～10 MΩ', en: '10 Ω to 10 MΩ' },
  rangeMin: { ja: '系列の最小値 [Ω]', en: 'Series from [Ω]' },
  rangeMax: { ja: '系列の最大値 [Ω]', en: 'Series to [Ω]' },
  ownName: { ja: 'リスト名', en: 'List name' },
  ownValues: { ja: '値 (カンマ・空白・改行で区切る)', en: 'Values (separated by commas, blanks or line breaks)' },
  ownNew: { ja: '新しいリスト', en: 'New list' },
  ownDelete: { ja: 'このリストを削除', en: 'Delete this list' },
  ownLoad: { ja: 'テキストファイルから読み込む', en: 'Load from a text file' },
  ownUnnamed: { ja: '新しいリスト', en: 'New list' },
  ownKept: { ja: '自分のリストはこのブラウザに保存されます。', en: 'Your lists are kept in this browser.' },
  ownNotKept: {
    ja: '自分のリストをこのブラウザに保存できませんでした (保存領域が一杯か、使えません)。このページを閉じるまでは使えます。',
    en: 'Your lists could not be kept in this browser (its storage is full or off); they stay until this page is closed.',
  },
  ownFileError: { ja: 'ファイルを読めませんでした:', en: 'The file could not be read:' },
  design: { ja: '設計条件 (公差・電流・歩留まり・上位 N 件)', en: 'Design rules (tolerance, currents, yield, best N)' },
  tolerance: { ja: '抵抗の公差 [%]', en: 'Resistors\' tolerance [%]' },
  vfbMin: { ja: 'Vfb(min) [V]', en: 'Vfb(min) [V]' },
  vfbMax: { ja: 'Vfb(max) [V]', en: 'Vfb(max) [V]' },
  worstCase: { ja: '最悪値でも窓に収まるものだけ', en: 'Only those whose worst case stays in the window' },
  currentMin: { ja: '分圧器の電流(min) [A]', en: 'Divider current (min) [A]' },
  currentMax: { ja: '分圧器の電流(max) [A]', en: 'Divider current (max) [A]' },
  pinCurrent: { ja: '帰還ピンの電流 [A]', en: 'Feedback pin current [A]' },
  pinCurrentMin: { ja: 'ピン電流(min) [A]', en: 'Pin current (min) [A]' },
  pinCurrentMax: { ja: 'ピン電流(max) [A]', en: 'Pin current (max) [A]' },
  yield: { ja: '歩留まりを求める (正規分布)', en: 'Give each match its yield (normal distributions)' },
  sigma: { ja: '公差 = σ の何倍 (既定 3)', en: 'Tolerance in σ (default 3)' },
  yieldMin: { ja: '歩留まりの下限 (0.997 や 99.7%)', en: 'Least yield (0.997 or 99.7%)' },
  rank: { ja: '上位 N 件の選び方', en: 'Best N chosen by' },
  rankDefault: { ja: '既定 (近い順)', en: 'default (closest)' },
  rankClosest: { ja: '標準値に近い順', en: 'closest to the typical voltage' },
  rankYield: { ja: '歩留まりの高い順', en: 'highest yield' },
  colYield: { ja: '歩留まり', en: 'Yield' },
  best: { ja: '上位 N 件 (1～1000)', en: 'Best N (1 to 1000)' },
  sort: { ja: '並び順', en: 'Order' },
  sortDefault: { ja: '既定 (上位 N 件は近い順)', en: 'default (best N: closest first)' },
  sortVoltage: { ja: '電圧順', en: 'by voltage' },
  sortPrecision: { ja: '精度順', en: 'by precision' },
  sortResistors: { ja: '抵抗順', en: 'by resistors' },
  optional: { ja: '空欄 = 使わない', en: 'blank = not used' },
  results: { ja: '結果', en: 'Results' },
  searching: { ja: '探索中…', en: 'Searching…' },
  starting: { ja: '準備中…', en: 'Starting…' },
  chart: { ja: '出力電圧のグラフ', en: 'Chart of the output voltages' },
  chartDescription: {
    ja: '表示中の組み合わせごとに、最悪値の幅を棒、公称値を点で示します。網掛けは目標の窓です。',
    en: 'For each combination shown: its worst-case band as a bar, its nominal output as a dot; the shaded band is the target window.',
  },
  table: { ja: '組み合わせの表', en: 'Table of combinations' },
  tableSortHint: { ja: '列の見出しを押すと並べ替えます。', en: 'Press a column heading to sort by it.' },
  report: { ja: 'レポート (コンソールの出力)', en: 'Report (the console\'s output)' },
  downloadCsv: { ja: 'CSV をダウンロード', en: 'Download CSV' },
  downloadJson: { ja: 'JSON をダウンロード', en: 'Download JSON' },
  nothingShown: { ja: '表示する組み合わせはありません。', en: 'No combination to show.' },
  fieldError: { ja: 'この欄を直してください:', en: 'Please correct this field:' },
  usageError: { ja: '入力を直してください:', en: 'Please correct the input:' },
  colR1: { ja: 'R1', en: 'R1' },
  colR2: { ja: 'R2', en: 'R2' },
  colR3: { ja: 'R3', en: 'R3' },
  colConnection: { ja: '接続', en: 'Joined' },
  colVout: { ja: '出力 [V]', en: 'Output [V]' },
  colDeviation: { ja: '偏差 [%]', en: 'Deviation [%]' },
  colLeast: { ja: '最悪値(min) [V]', en: 'Worst case (min) [V]' },
  colGreatest: { ja: '最悪値(max) [V]', en: 'Worst case (max) [V]' },
  colCurrent: { ja: '電流 [A]', en: 'Current [A]' },
  chartNominal: { ja: '公称値', en: 'nominal' },
  chartBand: { ja: '最悪値', en: 'worst case' },
  chartWindow: { ja: '目標の窓', en: 'target window' },
  chartX: { ja: '出力電圧 [V]', en: 'Output voltage [V]' },
  schematicOf: { ja: '構成 {0} の回路図', en: 'Schematic of configuration {0}' },
} satisfies Record<string, Texts>;

export type TextKey = keyof typeof kTexts;

/** The text `key` in `language`, "{0}", "{1}"... replaced by `args`. */
export function text(key: TextKey, language: Language, ...args: string[]): string {
  return kTexts[key][language].replace(/\{(\d)\}/g, (_, n: string) => args[Number(n)] ?? '');
}

/** The page's language for the browser's preferred languages. */
export function browserLanguage(preferred: readonly string[]): Language {
  for (const tag of preferred) {
    const primary = tag.toLowerCase().split('-')[0];
    if (primary === 'ja' || primary === 'en') return primary;
  }
  return 'en';
}

// The console's one-line reasons in Japanese, by their shape; a reason of
// another shape is shown as the console wrote it.
const kKinds: Record<string, string> = {
  voltage: '電圧', current: '電流', resistance: '抵抗値', percentage: '百分率', tolerance: '公差',
  range: '範囲', configuration: '構成', language: '言語', order: '並び順', 'stock list': '部品リスト', format: '出力形式',
};
const kind = (name: string) => kKinds[name] ?? name;
const orList = (list: string) => list.replace(/,? or /g, '、').replace(/, /g, '、');

const kReasons: readonly { pattern: RegExp; ja: (...parts: string[]) => string }[] = [
  {
    pattern: /^(--[\w-]+): "(.*)" is no (\w+): a number, then (.*) if you like, as in (.*)$/s,
    ja: (option, given, name, letters, examples) =>
      `${option}: 「${given}」は${kind(name)}として読めません (数値のあとに ${orList(letters)} を付けられます。例: ${orList(examples)})`,
  },
  {
    pattern: /^(--[\w-]+): "(.*)" is no tolerance: .*$/s,
    ja: (option, given) => `${option}: 「${given}」は公差として読めません (0 以上 100 未満の数値、% は省略可)`,
  },
  {
    pattern: /^(--[\w-]+): "(.*)" is no number of standard deviations: .*$/s,
    ja: (option, given) => `${option}: 「${given}」は標準偏差の倍数として読めません (0 より大きい数値、例: 3)`,
  },
  {
    pattern: /^(--[\w-]+): "(.*)" is no yield: .*$/s,
    ja: (option, given) => `${option}: 「${given}」は歩留まりとして読めません (0 より大きく 1 以下の割合か百分率、例: 0.997、99.7%)`,
  },
  {
    pattern: /^(--[\w-]+): "(.*)" is no count from 1 to (\d+)$/s,
    ja: (option, given, most) => `${option}: 「${given}」は 1～${most} の件数ではありません`,
  },
  {
    pattern: /^(--[\w-]+): "(.*)" is no range: .*$/s,
    ja: (option, given) => `${option}: 「${given}」は範囲として読めません (最小値..最大値、例: 1k..100k)`,
  },
  { pattern: /^(--[\w-]+): "(.*)": MIN lies above MAX$/s, ja: (option, given) => `${option}: 「${given}」は最小値が最大値を超えています` },
  {
    pattern: /^(--[\w-]+): "(.*)" reaches beyond .*$/s,
    ja: (option, given) => `${option}: 「${given}」は系列を作れる範囲 (1m～1e12 Ω) を超えています`,
  },
  {
    pattern: /^(--[\w-]+): "(.*)" is no ([\w ]+): (.*)$/s,
    ja: (option, given, name, choices) => `${option}: 「${given}」は${kind(name)}ではありません (${orList(choices)} のいずれか)`,
  },
  { pattern: /^(--[\w-]+) (.*) lies above (--[\w-]+) (.*)$/s, ja: (a, x, b, y) => `${a} ${x} が ${b} ${y} を超えています` },
  { pattern: /^--range (.*) holds no (\S+) value$/s, ja: (range, series) => `--range ${range} には ${series} の値がありません` },
  {
    pattern: /^--range (.*) holds (\d+) (\S+) values; a list holds at most (\d+) beside DNM$/s,
    ja: (range, count, series, most) => `--range ${range} には ${series} の値が ${count} 個あります。リストに入るのは DNM のほかに ${most} 個までです`,
  },
  { pattern: /^(--[\w-]+) is given more than once$/s, ja: (option) => `${option} が 2 回以上指定されています` },
  { pattern: /^(--[\w-]+) excludes (--[\w-]+)$/s, ja: (a, b) => `${a} と ${b} は同時に指定できません` },
  { pattern: /^(--[\w-]+) requires (--[\w-]+)$/s, ja: (a, b) => `${a} には ${b} も必要です` },
  { pattern: /^(--[\w-]+) needs a value: (.*)$/s, ja: (option, what) => `${option} には値 (${what}) が必要です` },
];

/** The console's reason (without "tapsmith-cli: ") in `language`. */
export function reasonText(reason: string, language: Language): string {
  if (language === 'en') return reason;
  for (const { pattern, ja } of kReasons) {
    const match = pattern.exec(reason);
    if (match !== null) return ja(...match.slice(1));
  }
  return reason;
}
