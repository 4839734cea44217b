#include "message_table.h"

#include <cassert>
#include <string>
#include <vector>

#include "text_encoding.h"

namespace tapsmith {

namespace {

struct MessagePair {
  Message message;
  const char* japanese;  // UTF-8 here; converted to code page 932 once
  const char* english;
};

constexpr MessagePair kMessages[] = {
    {Message::ExitConfirmation, "本当に終了しますか？", "Really exit?"},
    {Message::CountSuffix, "組見つかりました。", " set(s) found."},
    {Message::NothingFound, "見つけられませんでした。", "Can not be able to fined."},
    {Message::TooMany, "多すぎるため中断しました。", "Break off because of too many matches."},
    {Message::FormatError, "フォーマット・エラー\n", "Format error\n"},
    {Message::StockListError, "部品リストエラー", "Stock list error"},
    {Message::BestShown, "%lld組見つかりました。近い順に%d組を表示します。",
     "%lld set(s) found; the %d closest shown."},
    {Message::BestShownByYield, "%lld組見つかりました。歩留まりの高い順に%d組を表示します。",
     "%lld set(s) found; the %d of the highest yield shown."},

    {Message::UsageHint, "オプションの一覧は 'tapsmith-cli --help' で表示されます。",
     "Run 'tapsmith-cli --help' for the options."},
    {Message::UnknownOption, "{0} というオプションはありません", "unknown option {0}"},
    {Message::StrayWord, "{0}の前に値をとるオプションがありません", "{0} follows no option that takes a value"},
    {Message::GivenTwice, "{0} が 2 回以上指定されています", "{0} is given more than once"},
    {Message::NeedsValue, "{0} には値 ({1}) が必要です", "{0} needs a value: {1}"},
    {Message::TakesNoValue, "{0} は値をとりません", "{0} takes no value"},
    {Message::Excludes, "{0} と {1} は同時に指定できません", "{0} excludes {1}"},
    {Message::Requires, "{0} には {1} も必要です", "{0} requires {1}"},
    {Message::NoFiles, "{0}: この実行ではファイルを読み書きできません (--values ならファイルなしでリストを渡せます)",
     "{0}: this run has no files to read or write (--values gives a list without one)"},
    {Message::OptionReason, "{0}: {1}", "{0}: {1}"},
    {Message::Quoted, "「{0}」", "\"{0}\""},
    {Message::ListNext, "{0}、{1}", "{0}, {1}"},
    {Message::ListLast, "{0}、{1}", "{0} or {1}"},
    {Message::ListLastAnd, "{0}、{1}", "{0} and {1}"},
    {Message::NoChoice, "{0}は{1}ではありません ({2}のいずれか)", "{0} is no {1}: {2}"},
    {Message::NoQuantity, "{0}は{1}として読めません (数値のあとに{2}を付けられます。例: {3})",
     "{0} is no {1}: a number, then {2} if you like, as in {3}"},
    {Message::KindConfiguration, "構成", "configuration"},
    {Message::KindLanguage, "言語", "language"},
    {Message::KindStockList, "部品リスト", "stock list"},
    {Message::KindOrder, "並び順", "order"},
    {Message::KindRank, "選び方", "rank"},
    {Message::KindFormat, "出力形式", "format"},
    {Message::KindR4Connection, "R4 の接続", "connection of R4"},
    {Message::KindVoltage, "電圧", "voltage"},
    {Message::KindResistance, "抵抗値", "resistance"},
    {Message::KindCurrent, "電流", "current"},
    {Message::KindPercentage, "百分率", "percentage"},
    {Message::NoTolerance, "{0}は公差として読めません (0 以上 100 未満の数値、% は省略可)",
     "{0} is no tolerance: a number from 0 to below 100, \"%\" optional"},
    {Message::NoSigma, "{0}は標準偏差の倍数として読めません (0 より大きい数値、例: 3)",
     "{0} is no number of standard deviations: a number above 0, e.g. 3"},
    {Message::NoYield, "{0}は歩留まりとして読めません (0 より大きく 1 以下の割合か百分率、例: 0.997、99.7%)",
     "{0} is no yield: a fraction above 0 up to 1, or a percentage, e.g. 0.997 or 99.7%"},
    {Message::NoCount, "{0}は 1～{1} の件数ではありません", "{0} is no count from 1 to {1}"},
    {Message::NoRange, "{0}は範囲として読めません (最小値..最大値、それぞれ 10、4.7k、1M のような抵抗値)",
     "{0} is no range: MIN..MAX, each a resistance such as 10, 4.7k or 1M"},
    {Message::RangeReversed, "{0}は最小値が最大値を超えています", "{0}: MIN lies above MAX"},
    {Message::RangeBeyond, "{0}は系列の値を作れる範囲 ({1}～{2} Ω) を超えています",
     "{0} reaches beyond {1} to {2} ohm, where series values are made"},
    {Message::LimitAbove, "{0} が {1} を超えています", "{0} lies above {1}"},
    {Message::NotGiven, "{0} (指定なし)", "{0} (not given)"},
    {Message::RangeWithoutSeries, "--range は --list {0} と使います", "--range goes with --list {0}"},
    {Message::RangeHoldsNone, "--range {0} には {1} の値がありません", "--range {0} holds no {1} value"},
    {Message::TwoListSources, "{0} と {1} はどちらも List1 を作ります。どちらかにしてください",
     "{0} and {1} both make List1: choose one"},
    {Message::CannotRead, "{0} を読めません: {1}", "cannot read {0}: {1}"},
    {Message::HoldsNul, "{0} には NUL バイトがあります: UTF-8 のテキストではありません (UTF-16?)",
     "{0} holds NUL bytes: it is not UTF-8 text (UTF-16?)"},
    {Message::TooLongForList, "{0} は部品リストには長すぎます: 改行を CR LF として {1} バイトまでです",
     "{0} is too long for a stock list: at most {1} bytes with CR LF line ends"},
    {Message::TheList, "リスト", "the list"},
    {Message::PathReason, "{0}: {1}", "{0}: {1}"},
    {Message::SettingsNotSaved, "設定を保存できませんでした: {0}", "settings not saved: {0}"},
    {Message::ArgumentHoldsNul, "{0} に NUL 文字があります", "{0} holds a NUL character"},

    {Message::NotOfRail, "{0} はレールの行には書けません", "{0} does not belong to a rail"},
    {Message::AtLine, "{0}:{1}: {2}", "{0}:{1}: {2}"},
    {Message::NoRailName, "レールの行は名前と「:」で始まります", "a rail's line begins with its name and \":\""},
    {Message::BadRailName, "{0}はレールの名前にできません (英数字と _ . + - を 1～{1} 文字)",
     "{0} is no rail's name: 1 to {1} letters, digits, _ . + or -"},
    {Message::RailNamedTwice, "レール{0}は {1} 行目にもあります", "rail {0} is named on line {1} already"},
    {Message::TooManyRails, "レールは {0} 本までです", "a board holds at most {0} rails"},
    {Message::OpenQuote, "引用符「\"」が閉じていません", "a quote \" is not closed"},
    {Message::NoRails, "{0} にはレールがありません", "{0} holds no rail"},
    {Message::TooLongForBoard, "{0} は基板のファイルとしては長すぎます: {1} バイトまでです",
     "{0} is too long for a board: at most {1} bytes"},
    {Message::NoTimeLimit, "{0}は制限時間として読めません (0 より大きい秒数、例: 60)",
     "{0} is no time limit: seconds above 0, e.g. 60"},
    {Message::NoValues, "BOM に値がありません", "the BOM holds no value"},
    {Message::TooManyValues, "候補と BOM を合わせた値が {0} を超えています",
     "the candidates and the BOM hold more than {0} values together"},
    {Message::BoardProven, "{0} レール、新しい値 {1} 個、抵抗 {2} 本。最適であることを確かめました。",
     "{0} rails, {1} new values, {2} resistors; proven optimal."},
    {Message::BoardNotProven,
     "{0} レール、新しい値 {1} 個、抵抗 {2} 本。最適とは確かめきれていません (よりよい選び方にも新しい値が {3} 個以上要ります)。",
     "{0} rails, {1} new values, {2} resistors; not proven optimal: a better choice needs at least {3} new values."},
    {Message::BoardUnsolvable, "{0}を満たす分圧抵抗はありません。", "No divider meets {0}."},
    {Message::BoardNewValues, "新しい値 ({0}): {1}", "New values ({0}): {1}"},
    {Message::BoardFromBom, "BOM から ({0}): {1}", "From the BOM ({0}): {1}"},
    {Message::BoardProgress, "新しい値 {0} 個の組を検討中: {1} 通り、これまでの最良は {2} 個",
     "trying {0} new values: {1} choices, the best so far {2}"},

    {Message::NoteSearched, "{0} V から {1} V の範囲を探しました。", "Searched {0} V to {1} V."},
    {Message::NoteWindowReversed, "最小値 {0} V が最大値 {1} V を超えているため、{0} V だけを探しました。",
     "The minimum {0} V lies above the maximum {1} V: only {0} V was searched."},
    {Message::NoteEmptyField, "空欄のため 0 {0} として読みました。", "Empty: read as 0 {0}."},
    {Message::NoteR1RangeEmpty, "R1 の範囲 {0} Ω～{1} Ω にはリストの値がひとつもありません。",
     "No value of the list lies in R1's range, {0} to {1} ohm."},
    {Message::NoteBelowVfb, "構成 {0} の出力は Vfb ({1} V) を超えません。窓はそれより上にあります。",
     "Configuration {0} never gives more than Vfb ({1} V), and the window lies above it."},
    {Message::NoteAboveVfb, "構成 {0} の出力は Vfb ({1} V) を下回りません。窓はそれより下にあります。",
     "Configuration {0} never gives less than Vfb ({1} V), and the window lies below it."},
    {Message::NoteFilterLeavesNone, "窓の中の {0} 組のうち、{1} を満たすものはありません。",
     "Of the {0} combinations in the window, none passes {1}."},
    {Message::NoteFiltersTogether, "窓の中の {0} 組のうち、{1} をすべて満たすものはありません。",
     "Of the {0} combinations in the window, none passes {1} together."},
};
constexpr int kMessageCount = sizeof kMessages / sizeof kMessages[0];

// A message is looked up by its number: every row must stand at its own.
constexpr bool EveryRowAtItsMessage() {
  for (int row = 0; row < kMessageCount; ++row) {
    if (static_cast<int>(kMessages[row].message) != row) return false;
  }
  return kMessageCount == static_cast<int>(Message::kCount);
}
static_assert(EveryRowAtItsMessage(), "the message table's rows must follow the Message enum");

struct ConvertedMessages {
  std::string japanese[kMessageCount];
  ConvertedMessages() {
    for (int i = 0; i < kMessageCount; ++i) japanese[i] = LiteralToCp932(kMessages[i].japanese);
  }
};

const MessagePair& RowOf(Message message) {
  const int row = static_cast<int>(message);
  assert(row >= 0 && row < kMessageCount && "no such message");
  return kMessages[row];
}

// `text` with "{n}" replaced by `values[n]`; a brace that opens no known
// placeholder stays as it is.
std::string Substituted(const char* text, const std::vector<const std::string*>& values) {
  std::string out;
  for (const char* c = text; *c != '\0'; ++c) {
    if (c[0] == '{' && c[1] >= '0' && c[1] <= '9' && c[2] == '}' &&
        static_cast<size_t>(c[1] - '0') < values.size()) {
      out += *values[static_cast<size_t>(c[1] - '0')];
      c += 2;
    } else {
      out.push_back(*c);
    }
  }
  return out;
}

}  // namespace

const char* MessageText(Message message, int language) {
  static const ConvertedMessages converted;
  return language == 1 ? RowOf(message).english : converted.japanese[static_cast<int>(message)].c_str();
}

const char* MessageText(Message message, const AppState& state) {
  return MessageText(message, LanguageInUse(state));
}

const char* MessageUtf8(Message message, int language) {
  return language == 1 ? RowOf(message).english : RowOf(message).japanese;
}

Localized Fill(Message message, std::initializer_list<Localized> args) {
  Localized filled;
  for (int language = 0; language < 2; ++language) {
    std::vector<const std::string*> values;
    for (const Localized& arg : args) values.push_back(&arg.text[language]);
    filled.text[language] = Substituted(MessageUtf8(message, language), values);
  }
  return filled;
}

Localized Listed(const std::vector<Localized>& items, Message last) {
  if (items.empty()) return {};
  Localized text = items.back();
  for (size_t n = items.size() - 1; n-- > 0;) text = Fill(n + 2 == items.size() ? last : Message::ListNext, {items[n], text});
  return text;
}

Localized Quoted(const std::string& text) { return Fill(Message::Quoted, {text}); }

}  // namespace tapsmith
