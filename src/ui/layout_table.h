// The layout table: the 50 rows that describe every control and painted item
// of the form. A row's number is also its control's command id and its index
// into the control handles.
#pragma once

#include <cstdint>

namespace tapsmith {

constexpr int kLayoutRowCount = 50;

// The form's extent in cells, for the scroll bars and the pull-back. The
// lowest rows reach 40.3 lines; the scroll arithmetic uses 39 all the same.
constexpr int kFormColumns = 52;
constexpr int kFormLines = 39;

enum RowType : int32_t {
  Empty = -1,
  PaintLabel = 1,
  PaintSlot = 2,
  PaintSettingDec = 3,
  PaintSettingHex = 4,
  PaintEdge = 11,
  PushButton = 21,
  RadioButton = 22,
  CheckBox = 23,
  GroupBox = 24,
  StaticLabel = 31,
  StaticSlot = 32,
  StaticSettingDec = 33,
  StaticSettingHex = 34,
  Edit = 41,
};

// Coordinates are tenths of a column (left, right) and of a line (top,
// bottom).
struct LayoutRow {
  int32_t type;   // a RowType; any other code behaves like Empty
  int32_t index;  // setting or text slot the row is bound to; -1 where none
  int32_t aux;    // radio: first row of the group; edge: edge flags;
                  // other controls: 2 = created disabled; -1 where none
  uint32_t style;  // control style, text-drawing format or edge kind
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
  // Japanese and English, as UTF-8 source literals; null where the row has
  // no label. RowLabel gives the form the window texts.
  const char* labels[2];
};

// Rows the commands refer to by number.
constexpr int kRowLanguage = 1;
constexpr int kRowDefaultSize = 2;
constexpr int kRowExecute = 34;
constexpr int kRowExit = 36;
constexpr int kRowSortByPrecision = 39;
constexpr int kRowStatus = 40;
constexpr int kRowSortByResistors = 41;
constexpr int kRowResult = 42;

/// Row `row` of the table; `row` must be 0..49.
const LayoutRow& LayoutTable(int row);

/// The row's label in `language` (1 English, anything else Japanese) as
/// code-page-932 bytes, converted once on first use; "" for a row without a
/// label. The pointer stays valid for the whole run.
const char* RowLabel(int row, int language);

/// Whether a row of this type becomes a child control (types 21..24, 31..34,
/// 41).
bool IsControlType(int32_t type);

/// Whether a row of this type carries a label that RelabelControls sets
/// (types 21..24 and 31).
bool IsLabelledType(int32_t type);

/// Whether a row of this type is drawn by the paint handler (1..4, 11).
bool IsPaintedType(int32_t type);

}  // namespace tapsmith
