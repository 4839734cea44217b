#include "message_table.h"

#include <cassert>
#include <string>

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
    {Message::BestShown, "%d組見つかりました。近い順に%d組を表示します。",
     "%d set(s) found; the %d closest shown."},
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

}  // namespace

const char* MessageText(Message message, int language) {
  static const ConvertedMessages converted;
  int row = static_cast<int>(message);
  assert(row >= 0 && row < kMessageCount && "no such message");
  return language == 1 ? kMessages[row].english : converted.japanese[row].c_str();
}

const char* MessageText(Message message, const AppState& state) {
  return MessageText(message, LanguageInUse(state));
}

}  // namespace tapsmith
