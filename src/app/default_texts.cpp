#include "default_texts.h"

#include "e_series.h"

namespace tapsmith {

namespace {

struct DefaultText {
  int slot;
  const char* text;
};

const DefaultText kFieldDefaults[] = {
    {SlotVoMinTyp, "1.35"},
    {SlotVoMaxPercent, "0.01%"},
    {SlotR1Min, "1k"},
    {SlotR1Max, "9.1k"},
    {SlotVfb, "0.7"},
    {SlotDigits, "0"},
};

// Mantissas of the IEC 60063 series, in tenths.
const int kE24[] = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30,
                    33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};
const int kE12[] = {10, 12, 15, 18, 22, 27, 33, 39, 47, 56, 68, 82};
const int kE6[] = {10, 15, 22, 33, 47, 68};

// An E-series list: every mantissa in `decades` decades from 10^firstExponent
// ohms, then the first value of the next decade.
struct SeriesList {
  int slot;
  const int* mantissas;
  int mantissaCount;
  int firstExponent;
  int decades;
};

const SeriesList kSeriesLists[] = {
    {SlotList1, kE24, 24, 2, 4},
    {SlotE24, kE24, 24, 1, 6},
    {SlotE12, kE12, 12, 1, 6},
    {SlotE6, kE6, 6, 1, 6},
};

const char* const kList2[] = {
    "1",    "4,7",  "10",   "22",   "33",   "47",   "51",   "68",   "75",   "100",
    "120",  "150",  "180",  "200",  "220",  "240",  "300",  "330",  "390",  "470",
    "510",  "680",  "1k",   "1.2k", "1.5k", "1.8k", "2k",   "2.2k", "2.4k", "2.7k",
    "3k",   "3.3k", "3.9k", "4.7k", "5.1k", "6.8k", "7.5k", "10k",  "12k",  "15k",
    "18k",  "20k",  "22k",  "24k",  "27k",  "30k",  "33k",  "47k",  "56k",  "68k",
    "100k", "150k", "200k", "300k", "470k", "1M",
};

const char* const kList3[] = {
    "10",   "12",   "15",   "18",   "20",   "24",   "30",   "36",   "43",   "51",
    "62",   "75",   "100",  "120",  "150",  "180",  "200",  "240",  "300",  "360",
    "430",  "510",  "620",  "750",  "1k",   "1.2k", "1.5k", "1.8k", "2.0k", "2.4k",
    "3.0k", "3.6k", "4.3k", "5.1k", "6.2k", "7.5k", "10k",  "12k",  "15k",  "18k",
    "20k",  "24k",  "30k",  "36k",  "43k",  "51k",  "62k",  "75k",  "100k", "120k",
    "150k", "180k", "200k", "240k", "300k", "360k", "430k", "510k", "620k", "750k",
    "1M",   "1.2M", "1.5M", "1.8M", "2.0M", "2.4M", "3.0M", "3.6M", "4.3M", "5.1M",
    "6.2M", "7.5M",
};

struct LiteralList {
  int slot;
  const char* const* values;
  int count;
};

const LiteralList kLiteralLists[] = {
    {SlotList2, kList2, sizeof kList2 / sizeof kList2[0]},
    {SlotList3, kList3, sizeof kList3 / sizeof kList3[0]},
};

void AppendValueLine(AppState* state, int slot, const char* value) {
  AppendSlotText(state, slot, value);
  AppendSlotText(state, slot, "\r\n");
}

// The mantissas in tenths are three-digit mantissas of one decade less:
// 1.1 x 10^3 is 110 x 10^1.
void WriteSeriesList(AppState* state, const SeriesList& list) {
  SetSlotText(state, list.slot, "");
  char value[32];
  int exponent = list.firstExponent - 2;
  for (int d = 0; d < list.decades; ++d, ++exponent) {
    for (int m = 0; m < list.mantissaCount; ++m) {
      FormatSeriesName(list.mantissas[m] * 10, exponent, value, sizeof value);
      AppendValueLine(state, list.slot, value);
    }
  }
  FormatSeriesName(100, exponent, value, sizeof value);
  AppendValueLine(state, list.slot, value);
}

void WriteLiteralList(AppState* state, const LiteralList& list) {
  SetSlotText(state, list.slot, "");
  for (int i = 0; i < list.count; ++i) AppendValueLine(state, list.slot, list.values[i]);
}

}  // namespace

void WriteDefaultTexts(AppState* state) {
  for (const DefaultText& field : kFieldDefaults) SetSlotText(state, field.slot, field.text);
  for (const SeriesList& list : kSeriesLists) WriteSeriesList(state, list);
  for (const LiteralList& list : kLiteralLists) WriteLiteralList(state, list);
}

}  // namespace tapsmith
