// The six parameter fields of the form, read into a search request.
#include <string>

#include "message_table.h"
#include "search.h"

namespace tapsmith {

namespace {

// Widening of the voltage and R1 windows, so that values equal to a bound
// within rounding still count as inside.
constexpr double kWindowSlack = 5e-10;

enum class FieldKind { Voltage, VoltageOrPercent, Resistance };

// A unit letter and what it does to the number before it.
struct UnitLetter {
  char letter;
  enum { Keep, Divide, Multiply } operation;
  double factor;
};

const UnitLetter kVoltLetters[] = {
    {'m', UnitLetter::Divide, 1000.0},
    {'V', UnitLetter::Keep, 1.0},
    {'v', UnitLetter::Keep, 1.0},
};
const UnitLetter kOhmLetters[] = {
    {'m', UnitLetter::Divide, 1000.0},
    {'u', UnitLetter::Divide, 1000000.0},
    {'k', UnitLetter::Multiply, 1000.0},
    {'K', UnitLetter::Multiply, 1000.0},
    {'M', UnitLetter::Multiply, 1000000.0},
};
const UnitLetter kAmpereLetters[] = {
    {'m', UnitLetter::Divide, 1000.0},
    {'u', UnitLetter::Divide, 1000000.0},
    {'n', UnitLetter::Divide, 1000000000.0},
    {'p', UnitLetter::Divide, 1000000000000.0},
    {'A', UnitLetter::Keep, 1.0},
};
const UnitLetter kPercentLetters[] = {
    {'%', UnitLetter::Keep, 1.0},
};

struct UnitLetters {
  const UnitLetter* letters;
  int count;
};

template <int kCount>
constexpr UnitLetters LettersOf(const UnitLetter (&letters)[kCount]) {
  return {letters, kCount};
}

UnitLetters LettersOf(Unit unit) {
  switch (unit) {
    case Unit::Volts: return LettersOf(kVoltLetters);
    case Unit::Ohms: return LettersOf(kOhmLetters);
    case Unit::Amperes: return LettersOf(kAmpereLetters);
    case Unit::Percent: break;
  }
  return LettersOf(kPercentLetters);
}

struct FieldReading {
  bool valid;
  bool percent;  // the tolerance form "N%" (VoltageOrPercent only)
  double value;
  bool empty;    // no number in it: it reads as 0
};

FieldReading ReadField(const char* text, FieldKind kind) {
  const char* end = text;
  double value = ReadNumber(text, &end);
  const bool empty = end == text;
  while (*end == ' ') ++end;
  char unit = *end;
  if (unit == '\0' || unit == '\r') return {true, false, value, empty};
  if (unit == '%' && kind == FieldKind::VoltageOrPercent) return {true, true, value, empty};
  if (ApplyUnitLetter(kind == FieldKind::Resistance ? Unit::Ohms : Unit::Volts, unit, &value))
    return {true, false, value, empty};
  return {false, false, 0.0, empty};
}

// Reads the field of `slot`. A format error sets the status to the message
// and the field's text, and returns false.
bool ReadSlotField(AppState* state, int slot, FieldKind kind, FieldReading* reading,
                   int* failedSlot) {
  *reading = ReadField(SlotText(*state, slot), kind);
  if (reading->valid) return true;
  ComposeInputError(*state, slot, state->slots.text[SlotStatus]);
  if (failedSlot != nullptr) *failedSlot = slot;
  return false;
}

}  // namespace

SearchOptions SearchOptionsFromState(const AppState& state) {
  SearchOptions options;
  options.configuration = ConfigurationInUse(state);
  options.serial = GetSetting(state, SerialMode) != 0;
  options.r3DnmOnly = GetSetting(state, R3DnmOnly) == 1;
  return options;
}

bool ParseSearchRequest(AppState* state, SearchRequest* request, int* failedSlot, FieldReadings* readings) {
  FieldReadings read{};
  FieldReading a, b;
  if (!ReadSlotField(state, SlotVoMinTyp, FieldKind::Voltage, &a, failedSlot) ||
      !ReadSlotField(state, SlotVoMaxPercent, FieldKind::VoltageOrPercent, &b, failedSlot)) {
    return false;
  }
  if (b.percent) {
    double d = b.value * a.value * 0.01;
    request->Vtyp = a.value;
    request->Vmax = a.value + d;
    request->Vmin = a.value - d;
  } else {
    request->Vmin = a.value;
    request->Vmax = b.value;
    request->Vtyp = 0.0;
  }
  read.reversed = request->Vmax < request->Vmin;
  read.maximumAsRead = request->Vmax;
  if (request->Vmax < request->Vmin) request->Vmax = request->Vmin;
  if (request->Vtyp == 0.0) request->Vtyp = (request->Vmin + request->Vmax) * 0.5;
  read.least = request->Vmin;
  read.greatest = request->Vmax;
  read.typical = request->Vtyp;
  read.tolerance = b.percent;
  read.empty[SlotVoMinTyp] = a.empty;
  read.empty[SlotVoMaxPercent] = b.empty;
  request->Vmin = request->Vmin - kWindowSlack;
  request->Vmax = request->Vmax + kWindowSlack;

  FieldReading vfb;
  if (!ReadSlotField(state, SlotVfb, FieldKind::Voltage, &vfb, failedSlot)) return false;
  request->Vfb = vfb.value;
  read.empty[SlotVfb] = vfb.empty;

  request->DigitCount = ReadInteger(SlotText(*state, SlotDigits));
  SetSetting(state, DigitCount, request->DigitCount);

  FieldReading r1min, r1max;
  if (!ReadSlotField(state, SlotR1Min, FieldKind::Resistance, &r1min, failedSlot) ||
      !ReadSlotField(state, SlotR1Max, FieldKind::Resistance, &r1max, failedSlot)) {
    return false;
  }
  request->R1min = r1min.value;
  request->R1max = r1max.value < r1min.value ? r1min.value : r1max.value;
  read.r1Least = request->R1min;
  read.r1Greatest = request->R1max;
  read.empty[SlotR1Min] = r1min.empty;
  read.empty[SlotR1Max] = r1max.empty;
  request->R1min = request->R1min - kWindowSlack;
  request->R1max = request->R1max + kWindowSlack;
  if (readings != nullptr) *readings = read;
  return true;
}

bool ReadVoltageField(const char* text, double* volts) {
  const FieldReading reading = ReadField(text, FieldKind::Voltage);
  *volts = reading.value;
  return reading.valid;
}

bool ApplyUnitLetter(Unit unit, char letter, double* value) {
  const UnitLetters letters = LettersOf(unit);
  for (int n = 0; n < letters.count; ++n) {
    const UnitLetter& known = letters.letters[n];
    if (known.letter != letter) continue;
    if (known.operation == UnitLetter::Divide) *value = *value / known.factor;
    if (known.operation == UnitLetter::Multiply) *value = *value * known.factor;
    return true;
  }
  return false;
}

void ComposeInputError(const AppState& state, int slot, char* status) {
  const bool list = slot >= SlotList1;
  const char* message = MessageText(list ? Message::StockListError : Message::FormatError, state);
  const char* parts[2] = {message, list ? "" : SlotText(state, slot)};
  int length = 0;
  for (const char* part : parts) {
    while (*part != '\0' && length < kSlotMaxLength) status[length++] = *part++;
  }
  status[length] = '\0';
}

namespace {

const UnitLetter* FindLetter(Unit unit, char letter) {
  const UnitLetters letters = LettersOf(unit);
  for (int n = 0; n < letters.count; ++n) {
    if (letters.letters[n].letter == letter) return &letters.letters[n];
  }
  return nullptr;
}

}  // namespace

bool ReadQuantity(const char* text, Unit unit, double* value) {
  const char* end = text;
  double number = ReadNumber(text, &end);
  if (end == text) return false;
  while (*end == ' ') ++end;
  // A scaling letter, then the unit's own symbol: "792mV", "10uA".
  const UnitLetter* letter = *end != '\0' ? FindLetter(unit, *end) : nullptr;
  if (letter != nullptr && letter->operation != UnitLetter::Keep) {
    ApplyUnitLetter(unit, *end++, &number);
    letter = *end != '\0' ? FindLetter(unit, *end) : nullptr;
  }
  if (letter != nullptr && letter->operation == UnitLetter::Keep) ++end;
  if (*end != '\0') return false;
  *value = number;
  return true;
}

std::string UnitLetterList(Unit unit) {
  const UnitLetters letters = LettersOf(unit);
  std::string list;
  for (int n = 0; n < letters.count; ++n) list.push_back(letters.letters[n].letter);
  return list;
}

}  // namespace tapsmith
