// The six parameter fields of the form, read into a search request.
#include "message_table.h"
#include "search.h"

namespace tapsmith {

namespace {

// Widening of the voltage and R1 windows, so that values equal to a bound
// within rounding still count as inside.
constexpr double kWindowSlack = 5e-10;

enum class FieldKind { Voltage, VoltageOrPercent, Resistance };

struct FieldReading {
  bool valid;
  bool percent;  // the tolerance form "N%" (VoltageOrPercent only)
  double value;
};

FieldReading ReadField(const char* text, FieldKind kind) {
  const char* end = text;
  double value = ReadNumber(text, &end);
  while (*end == ' ') ++end;
  char unit = *end;
  if (unit == '\0' || unit == '\r') return {true, false, value};
  if (unit == 'm') return {true, false, value / 1000.0};
  if (kind == FieldKind::Resistance) {
    if (unit == 'u') return {true, false, value / 1000000.0};
    if (unit == 'k' || unit == 'K') return {true, false, value * 1000.0};
    if (unit == 'M') return {true, false, value * 1000000.0};
    return {false, false, 0.0};
  }
  if (unit == 'V' || unit == 'v') return {true, false, value};
  if (unit == '%' && kind == FieldKind::VoltageOrPercent) return {true, true, value};
  return {false, false, 0.0};
}

// Reads the field of `slot`. A format error sets the status to the message
// and the field's text, and returns false.
bool ReadSlotField(AppState* state, int slot, FieldKind kind, FieldReading* reading) {
  *reading = ReadField(SlotText(*state, slot), kind);
  if (reading->valid) return true;
  SetSlotText(state, SlotStatus, MessageText(Message::FormatError, *state));
  AppendSlotText(state, SlotStatus, SlotText(*state, slot));
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

bool ParseSearchRequest(AppState* state, SearchRequest* request) {
  FieldReading a, b;
  if (!ReadSlotField(state, SlotVoMinTyp, FieldKind::Voltage, &a) ||
      !ReadSlotField(state, SlotVoMaxPercent, FieldKind::VoltageOrPercent, &b)) {
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
  if (request->Vmax < request->Vmin) request->Vmax = request->Vmin;
  if (request->Vtyp == 0.0) request->Vtyp = (request->Vmin + request->Vmax) * 0.5;
  request->Vmin = request->Vmin - kWindowSlack;
  request->Vmax = request->Vmax + kWindowSlack;

  FieldReading vfb;
  if (!ReadSlotField(state, SlotVfb, FieldKind::Voltage, &vfb)) return false;
  request->Vfb = vfb.value;

  request->DigitCount = ReadInteger(SlotText(*state, SlotDigits));
  SetSetting(state, DigitCount, request->DigitCount);

  FieldReading r1min, r1max;
  if (!ReadSlotField(state, SlotR1Min, FieldKind::Resistance, &r1min) ||
      !ReadSlotField(state, SlotR1Max, FieldKind::Resistance, &r1max)) {
    return false;
  }
  request->R1min = r1min.value;
  request->R1max = r1max.value < r1min.value ? r1min.value : r1max.value;
  request->R1min = request->R1min - kWindowSlack;
  request->R1max = request->R1max + kWindowSlack;
  return true;
}

}  // namespace tapsmith
