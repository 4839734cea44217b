#include "layout_table.h"

#include <array>
#include <cassert>
#include <string>

#include "text_encoding.h"

namespace tapsmith {

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

// type, index, aux, style, left, top, right, bottom, {Japanese, English}
static const LayoutRow kLayoutTable[kLayoutRowCount] = {
    {31, -1, -1, 0x50000000, 10, 6, 400, 16, {"電圧設定抵抗の組合せを探します。", "Searching for resistor's combinations as target voltage."}},
    {21, -1, -1, 0x50000000, 410, 5, 500, 17, {"English", "Japanese"}},
    {21, -1, -1, 0x50000000, 505, 5, 520, 17, {"#", "#"}},
    {24, -1, -1, 0x50000007, 10, 20, 520, 65, {"構成選択", "Configuration select"}},
    {22, 10, 4, 0x50000004, 20, 35, 240, 47, {"[a] Vo-R1-Vfb-(R2,R3)-GND", "[a] Vo-R1-Vfb-(R2,R3)-GND"}},
    {22, 10, 4, 0x50000004, 260, 35, 480, 47, {"[b] Vo-(R2,R3)-Vfb-R1-GND", "[b] Vo-(R2,R3)-Vfb-R1-GND"}},
    {22, 10, 4, 0x50000004, 20, 50, 240, 62, {"[c] Vfb-R1-Vo-(R2,R3)-GND", "[c] Vfb-R1-Vo-(R2,R3)-GND"}},
    {22, 10, 4, 0x50000004, 260, 50, 480, 62, {"[d] Vfb-(R2,R3)-Vo-R1-GND", "[d] Vfb-(R2,R3)-Vo-R1-GND"}},
    {-1, -1, -1, kNone, 0, 0, 0, 0, {nullptr, nullptr}},
    {-1, -1, -1, kNone, 0, 0, 0, 0, {nullptr, nullptr}},
    {31, -1, -1, 0x50000002, 20, 70, 200, 82, {"目標電圧Vo(min/typ)", "Target volt(Vo)(min/typ)"}},
    {41, 1, -1, 0x50800080, 210, 70, 270, 82, {nullptr, nullptr}},
    {31, -1, -1, 0x50000002, 280, 70, 430, 82, {"目標電圧Vo(max/%)", "Target volt(Vo)(max/%)"}},
    {41, 2, -1, 0x50800080, 440, 70, 500, 82, {nullptr, nullptr}},
    {31, -1, -1, 0x50000002, 20, 85, 200, 97, {"R1(min)", "R1(min)"}},
    {41, 3, -1, 0x50800080, 210, 85, 270, 97, {nullptr, nullptr}},
    {31, -1, -1, 0x50000002, 280, 85, 430, 97, {"R1(max)", "R1(max)"}},
    {41, 4, -1, 0x50800080, 440, 85, 500, 97, {nullptr, nullptr}},
    {31, -1, -1, 0x50000002, 20, 100, 200, 112, {"基準電圧Vfb[V]", "Referrence Voltage(Vfb)[V]"}},
    {41, 5, -1, 0x50800080, 210, 100, 270, 112, {nullptr, nullptr}},
    {31, -1, -1, 0x50000002, 280, 100, 430, 112, {"切り良く合致する桁数", "Just fit digit number"}},
    {41, 6, -1, 0x50800000, 440, 100, 500, 112, {nullptr, nullptr}},
    {-1, -1, -1, kNone, 0, 0, 0, 0, {nullptr, nullptr}},
    {-1, -1, -1, kNone, 0, 0, 0, 0, {nullptr, nullptr}},
    {24, -1, -1, 0x50000007, 10, 115, 520, 145, {"抵抗リスト", "Resistor List"}},
    {22, 14, 25, 0x50000004, 20, 130, 95, 142, {"List1", "List1"}},
    {22, 14, 25, 0x50000004, 100, 130, 175, 142, {"List2", "List2"}},
    {22, 14, 25, 0x50000004, 180, 130, 255, 142, {"List3", "List3"}},
    {22, 14, 25, 0x50000004, 260, 130, 335, 142, {"E24", "E24"}},
    {22, 14, 25, 0x50000004, 340, 130, 415, 142, {"E12", "E12"}},
    {22, 14, 25, 0x50000004, 420, 130, 495, 142, {"E6", "E6"}},
    {-1, -1, -1, kNone, 0, 0, 0, 0, {nullptr, nullptr}},
    {-1, -1, -1, kNone, 0, 0, 0, 0, {nullptr, nullptr}},
    {-1, -1, -1, kNone, 0, 0, 0, 0, {nullptr, nullptr}},
    {21, -1, -1, 0x50000000, 210, 150, 270, 162, {"実行", "Execute"}},
    {23, 13, -1, 0x50000102, 280, 150, 430, 162, {"R3=DNMのみ", "R3=DNM only"}},
    {21, -1, -1, 0x50000000, 440, 150, 500, 162, {"終了", "Exit"}},
    {-1, -1, -1, kNone, 0, 0, 0, 0, {nullptr, nullptr}},
    {24, -1, -1, 0x50000007, 10, 165, 520, 290, {"実行結果", "Result"}},
    {23, 16, -1, 0x50000102, 340, 180, 510, 192, {"精度順表示", "Show ascending precision"}},
    {2, 9, -1, 0x10, 15, 180, 330, 192, {nullptr, nullptr}},
    {23, 11, -1, 0x50000102, 340, 195, 510, 207, {"抵抗順表示", "Show ascending resistors"}},
    {41, 8, -1, 0x50A000C4, 15, 210, 510, 285, {nullptr, nullptr}},
    {31, -1, -1, 0x50000000, 20, 295, 170, 307, {"List1", "List1"}},
    {31, -1, -1, 0x50000000, 180, 295, 330, 307, {"List2", "List2"}},
    {31, -1, -1, 0x50000000, 340, 295, 490, 307, {"List3", "List3"}},
    {41, 10, -1, 0x50A000C4, 20, 310, 170, 403, {nullptr, nullptr}},
    {41, 11, -1, 0x50A000C4, 180, 310, 330, 403, {nullptr, nullptr}},
    {41, 12, -1, 0x50A000C4, 340, 310, 490, 403, {nullptr, nullptr}},
    {23, 15, -1, 0x50000102, 270, 195, 330, 207, {"直列", "Serial"}},
};

using ConvertedLabels = std::array<std::array<std::string, 2>, kLayoutRowCount>;

ConvertedLabels ConvertLabels() {
  ConvertedLabels converted;
  for (int row = 0; row < kLayoutRowCount; ++row)
    for (int language = 0; language < 2; ++language)
      if (const char* label = kLayoutTable[row].labels[language])
        converted[row][language] = LiteralToCp932(label);
  return converted;
}

}  // namespace

const LayoutRow& LayoutTable(int row) {
  assert(row >= 0 && row < kLayoutRowCount && "layout row out of range");
  return kLayoutTable[row];
}

const char* RowLabel(int row, int language) {
  static const ConvertedLabels labels = ConvertLabels();
  assert(row >= 0 && row < kLayoutRowCount && "layout row out of range");
  return labels[row][language == 1 ? 1 : 0].c_str();
}

bool IsControlType(int32_t type) {
  return (type >= PushButton && type <= GroupBox) ||
         (type >= StaticLabel && type <= StaticSettingHex) || type == Edit;
}

bool IsLabelledType(int32_t type) {
  return (type >= PushButton && type <= GroupBox) || type == StaticLabel;
}

bool IsPaintedType(int32_t type) {
  return (type >= PaintLabel && type <= PaintSettingHex) || type == PaintEdge;
}

}  // namespace tapsmith
