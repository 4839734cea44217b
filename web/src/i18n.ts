// Every label the page shows, in both of its languages. Every text about a
// search (the status, the reasons, the notes, the numbers) comes from the
// core, in the page's language.

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
  r4: { ja: 'R1 に並べる R4', en: 'R4 beside R1' },
  r4None: { ja: 'なし (R1 のみ)', en: 'none (R1 alone)' },
  r4Parallel: { ja: '並列 (R1 // R4)', en: 'in parallel (R1 // R4)' },
  r4Series: { ja: '直列 (R1 + R4)', en: 'in series (R1 + R4)' },
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
  ownDeleteConfirm: { ja: 'リスト「{0}」を削除しますか?', en: 'Delete the list "{0}"?' },
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
  colYield: { ja: '歩留まり [%]', en: 'Yield [%]' },
  best: { ja: '上位 N 件 (1～1000)', en: 'Best N (1 to 1000)' },
  sort: { ja: '並び順', en: 'Order' },
  sortDefault: { ja: '既定 (上位 N 件は近い順)', en: 'default (best N: closest first)' },
  sortVoltage: { ja: '電圧順', en: 'by voltage' },
  sortPrecision: { ja: '精度順', en: 'by precision' },
  sortResistors: { ja: '抵抗順', en: 'by resistors' },
  optional: { ja: '空欄 = 使わない', en: 'blank = not used' },
  results: { ja: '結果', en: 'Results' },
  jumpToResults: { ja: '結果へ移動', en: 'Jump to the results' },
  workerFailed: {
    ja: '探索が途中で止まりました ({0})。新しいワーカーを用意しました。入力を変えると続けて探索します。',
    en: 'The search stopped in its worker ({0}). A fresh worker is ready: change an input to search again.',
  },
  searching: { ja: '探索中…', en: 'Searching…' },
  starting: { ja: '準備中…', en: 'Starting…' },
  chart: { ja: '出力電圧のグラフ', en: 'Chart of the output voltages' },
  chartDescription: {
    ja: '表示中の組み合わせごとに、最悪値の幅を棒、公称値を点、求めたときは歩留まりを右端に示します。網掛けは目標の窓です。行を選ぶと詳細を表示します。',
    en: 'For each combination shown: its worst-case band as a bar, its nominal output as a dot, its yield (when asked) at the right; the shaded band is the target window. Choose a row to see its details.',
  },
  table: { ja: '組み合わせの表', en: 'Table of combinations' },
  tableSortHint: {
    ja: '列の見出しを押すと並べ替えます。# はグラフの行番号で、# または行を押すとその組み合わせの詳細を表示します。',
    en: 'Press a column heading to sort by it. # is the chart\'s row; press it, or the row, for the combination\'s details.',
  },
  report: { ja: 'レポート (コンソールの出力)', en: 'Report (the console\'s output)' },
  downloadCsv: { ja: 'CSV をダウンロード', en: 'Download CSV' },
  downloadJson: { ja: 'JSON をダウンロード', en: 'Download JSON' },
  nothingShown: { ja: '表示する組み合わせはありません。', en: 'No combination to show.' },
  fieldError: { ja: 'この欄を直してください:', en: 'Please correct this field:' },
  usageError: { ja: '入力を直してください:', en: 'Please correct the input:' },
  colIndex: { ja: '#', en: '#' },
  colR1: { ja: 'R1 [Ω]', en: 'R1 [Ω]' },
  colR2: { ja: 'R2 [Ω]', en: 'R2 [Ω]' },
  colR3: { ja: 'R3 [Ω]', en: 'R3 [Ω]' },
  colR4: { ja: 'R4 [Ω]', en: 'R4 [Ω]' },
  colConnection: { ja: '接続', en: 'Joined' },
  cellParallel: { ja: '並列', en: 'parallel' },
  cellSeries: { ja: '直列', en: 'series' },
  colVout: { ja: '出力 [V]', en: 'Output [V]' },
  colDeviation: { ja: '偏差 [%]', en: 'Deviation [%]' },
  colLeast: { ja: '最悪値 min [V]', en: 'Worst case min [V]' },
  colGreatest: { ja: '最悪値 max [V]', en: 'Worst case max [V]' },
  colCurrent: { ja: '電流 [A]', en: 'Current [A]' },
  chooseRow: { ja: '#{0} の詳細を表示', en: 'Show the details of #{0}' },
  chartNominal: { ja: '公称値', en: 'nominal' },
  chartBand: { ja: '最悪値', en: 'worst case' },
  chartYield: { ja: '歩留まり', en: 'yield' },
  volts: { ja: '{0} V', en: '{0} V' },
  voltsRange: { ja: '{0} V ～ {1} V', en: '{0} V to {1} V' },
  percent: { ja: '{0} %', en: '{0} %' },
  matchName: { ja: 'R1 {0}, R2 {1} {2} R3 {3}', en: 'R1 {0}, R2 {1} {2} R3 {3}' },
  matchNameR4: { ja: 'R1 {0} {4} R4 {5}, R2 {1} {2} R3 {3}', en: 'R1 {0} {4} R4 {5}, R2 {1} {2} R3 {3}' },
  space: { ja: '設計空間の全体', en: 'The whole design space' },
  spaceDescription: {
    ja: '条件を満たす組み合わせ (最大 1000 組) の、分圧器の電流 (対数目盛) に対する標準値からの偏差。大きな丸が上の表の組み合わせです。',
    en: 'Every combination that qualifies (up to 1000): its deviation from the typical voltage against the divider\'s current (log scale). The large rings are the ones in the table.',
  },
  spaceX: { ja: '分圧器の電流 (グランド側) [A]', en: 'Divider current, leg to ground [A]' },
  spaceY: { ja: '標準値からの偏差 [%]', en: 'Deviation from the typical voltage [%]' },
  spaceYVolts: { ja: '出力電圧 [V]', en: 'Output voltage [V]' },
  spaceCount: { ja: '{0} 組を表示', en: '{0} shown' },
  spaceWaiting: { ja: '設計空間を探索中…', en: 'Searching the design space…' },
  details: { ja: '組み合わせ #{0} の詳細', en: 'Details of match #{0}' },
  detailsClose: { ja: '閉じる', en: 'Close' },
  detailsSchematic: { ja: '構成 {0} の回路図、選んだ抵抗値つき', en: 'Schematic of configuration {0} with the chosen values' },
  detailOutput: { ja: '公称の出力', en: 'Nominal output' },
  detailDeviation: { ja: '標準値からの偏差', en: 'Deviation from the typical voltage' },
  detailWorst: { ja: '最悪値', en: 'Worst case' },
  detailLower: { ja: 'グランド側の電流 ({0})', en: 'Current in the leg to ground ({0})' },
  detailUpper: { ja: 'もう一方の脚の電流 ({0})', en: 'Current in the other leg ({0})' },
  detailYield: { ja: '歩留まり', en: 'Yield' },
  yieldHelp: { ja: '歩留まりと σ について', en: 'What the yield and σ mean' },
  yieldHelpYield: {
    ja: '歩留まりは、基板を何枚も作ったとき出力が目標の窓に収まる割合です。R1、R2、R3、Vfb、ピン電流がそれぞれ公称値のまわりに正規分布でばらつくとして求めます。99.73 % なら 1000 枚に約 3 枚が窓から外れます。',
    en: 'The yield is the share of boards whose output lies inside the target window, when R1, R2, R3, Vfb and the pin current each vary around their nominal value with a normal distribution. 99.73 % means about 3 boards in 1000 fall outside.',
  },
  yieldHelpSigma: {
    ja: 'σ (標準偏差) はばらつきの大きさです。「公差 = σ の何倍」が 3 (既定) なら、1 % の抵抗は σ = 0.33 % で、99.73 % の部品が公差内に入ります。データシートの限界値も同じ倍数で σ に換算します。',
    en: 'σ (the standard deviation) is the size of that spread. With "Tolerance in σ" at 3 (the default), a 1 % resistor has σ = 0.33 %, and 99.73 % of the parts lie within their tolerance. A datasheet\'s limits are turned into σ by the same factor.',
  },
  yieldHelpWorst: {
    ja: '最悪値は、すべての抵抗、Vfb、ピン電流が同時に公差や限界値の端にある場合の出力の範囲です。歩留まりより厳しい見積もりです。',
    en: 'The worst case is the range of the output when every resistor, Vfb and the pin current sit at an end of their tolerance or limits at once: a stricter bound than the yield.',
  },
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
