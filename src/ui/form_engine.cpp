// The form engine: cell measurement, pixel conversion, control creation,
// labels, painting, collection of edit texts and window placement.
#include <cstdint>
#include <cstdio>

#include "form.h"

namespace tapsmith {

namespace {

// Hand-edited settings can hold any 32-bit value; window arithmetic on them
// is done in 64 bits and brought back into int range.
int ClampToInt(int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int>(value);
}

int ConvertEdge(int32_t tenths, int cell, int originCells) {
  int64_t pixels = static_cast<int64_t>(tenths) * cell / 10 +
                   static_cast<int64_t>(originCells) * cell;
  return ClampToInt(pixels);
}

ControlClass ClassOfType(int32_t type) {
  if (type >= PushButton && type <= GroupBox) return ControlClass::Button;
  if (type == Edit) return ControlClass::Edit;
  return ControlClass::Static;
}

void SetInitialState(const Form& form, int row, WindowHandle control) {
  const LayoutRow& layout = LayoutTable(row);
  const AppState& state = *form.state;
  char number[50];
  switch (layout.type) {
    case RadioButton:
      // 64 bits: a hand-edited setting must not overflow the comparison.
      if (static_cast<int64_t>(GetSetting(state, layout.index)) ==
          static_cast<int64_t>(row) - layout.aux)
        form.system->SetCheck(control, true);
      break;
    case CheckBox:
      if (GetSetting(state, layout.index) != 0) form.system->SetCheck(control, true);
      break;
    case StaticSlot:
    case Edit:
      form.system->SetText(control, SlotText(state, layout.index));
      break;
    case StaticSettingDec:
      std::snprintf(number, sizeof number, "%d", GetSetting(state, layout.index));
      form.system->SetText(control, number);
      break;
    case StaticSettingHex:
      std::snprintf(number, sizeof number, "%x",
                    static_cast<unsigned>(GetSetting(state, layout.index)));
      form.system->SetText(control, number);
      break;
    default:
      break;
  }
}

}  // namespace

void MeasureCell(Form* form) {
  TextMetrics text{};
  bool known = form->system->GetTextMetrics(form->window, &text);
  int64_t width = text.aveCharWidth;
  if (text.pitchAndFamily & kPitchVariable) width = width * 3 / 2;
  const int64_t height = static_cast<int64_t>(text.height) + text.externalLeading;
  form->metrics.cellWidth = known && width > 0 ? ClampToInt(width) : kFallbackCellWidth;
  form->metrics.cellHeight = known && height > 0 ? ClampToInt(height) : kFallbackCellHeight;
}

PixelRect RowToPixels(const Form& form, int row) {
  const LayoutRow& layout = LayoutTable(row);
  const int width = form.metrics.cellWidth;
  const int height = form.metrics.cellHeight;
  return PixelRect{
      ConvertEdge(layout.left, width, form.origin.x),
      ConvertEdge(layout.top, height, form.origin.y),
      ConvertEdge(layout.right, width, form.origin.x),
      ConvertEdge(layout.bottom, height, form.origin.y),
  };
}

void CreateFormControls(Form* form) {
  for (int row = 0; row < kLayoutRowCount; ++row) {
    const LayoutRow& layout = LayoutTable(row);
    form->controls.handles[row] = nullptr;
    if (!IsControlType(layout.type)) continue;
    PixelRect rect = RowToPixels(*form, row);
    WindowHandle control = form->system->CreateControl(
        ClassOfType(layout.type), " ", layout.style, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, form->window, row);
    form->controls.handles[row] = control;
    if (control == nullptr) continue;
    SetInitialState(*form, row, control);
    if (layout.type != RadioButton && layout.aux == 2)
      form->system->EnableControl(control, false);
  }
}

void RelabelControls(const Form& form) {
  const int language = LanguageInUse(*form.state);
  for (int row = 0; row < kLayoutRowCount; ++row) {
    if (!IsLabelledType(LayoutTable(row).type)) continue;
    form.system->SetText(form.controls.handles[row], RowLabel(row, language));
  }
}

void PaintForm(const Form& form, PaintSurface& surface) {
  const AppState& state = *form.state;
  surface.SetTextColor(SystemColor::ButtonText);
  surface.SetBackgroundColor(SystemColor::ButtonFace);
  char number[50];
  for (int row = 0; row < kLayoutRowCount; ++row) {
    const LayoutRow& layout = LayoutTable(row);
    if (!IsPaintedType(layout.type)) continue;
    PixelRect rect = RowToPixels(form, row);
    if (rect.left < 0) continue;
    switch (layout.type) {
      case PaintLabel:
        surface.DrawText(RowLabel(row, LanguageInUse(state)), rect, layout.style);
        break;
      case PaintSlot:
        surface.DrawText(SlotText(state, layout.index), rect, layout.style);
        break;
      case PaintSettingDec:
        std::snprintf(number, sizeof number, "%d", GetSetting(state, layout.index));
        surface.DrawText(number, rect, layout.style);
        break;
      case PaintSettingHex:
        std::snprintf(number, sizeof number, "%#x",
                      static_cast<unsigned>(GetSetting(state, layout.index)));
        surface.DrawText(number, rect, layout.style);
        break;
      case PaintEdge:
        surface.DrawEdge(rect, layout.style, static_cast<uint32_t>(layout.aux));
        break;
    }
  }
}

void CollectEditTexts(Form* form) {
  for (int row = 0; row < kLayoutRowCount; ++row) {
    const LayoutRow& layout = LayoutTable(row);
    WindowHandle control = form->controls.handles[row];
    if (layout.type != Edit || control == nullptr) continue;
    // Read straight into the slot: GetText copies at most kSlotSize - 1
    // bytes and terminates them.
    char* slot = form->state->slots.text[layout.index];
    int copied = form->system->GetText(control, slot, kSlotSize);
    if (copied < 0) copied = 0;
    if (copied > kSlotMaxLength) copied = kSlotMaxLength;
    slot[copied] = '\0';
  }
}

void PlaceMainWindow(Form* form) {
  AppState* state = form->state;
  const int64_t left = GetSetting(*state, WindowLeft);
  const int64_t top = GetSetting(*state, WindowTop);
  const int width = ClampToInt(GetSetting(*state, WindowRight) - left);
  const int height = ClampToInt(GetSetting(*state, WindowBottom) - top);
  int screenLeft = 0;
  int screenTop = 0;
  form->system->GetVirtualScreenOrigin(&screenLeft, &screenTop);
  int screenWidth = 0;
  int screenHeight = 0;
  form->system->GetVirtualScreenSize(&screenWidth, &screenHeight);

  int x = static_cast<int>(left);
  if (left + 200 > screenWidth) {
    x = 0;
    SetSetting(state, WindowLeft, 0);
    SetSetting(state, WindowRight, width);
  }
  // The same on the other side, for a window saved on a monitor that is
  // gone: less than 200 pixels of it right of the virtual screen's left edge
  // (for a narrower window, less than all of it), or its top edge above the
  // screen's. A monitor left of or above the primary one moves those edges,
  // and a window on it keeps its place.
  const int64_t reach = width < 200 ? width : 200;
  if (GetSetting(*state, WindowRight) - reach < screenLeft) {
    x = screenLeft;
    SetSetting(state, WindowLeft, screenLeft);
    SetSetting(state, WindowRight, ClampToInt(static_cast<int64_t>(screenLeft) + width));
  }
  if (top + 150 > screenHeight) {
    SetSetting(state, WindowTop, 0);
    SetSetting(state, WindowBottom, height);
  }
  if (GetSetting(*state, WindowTop) < screenTop) {
    SetSetting(state, WindowTop, screenTop);
    SetSetting(state, WindowBottom, ClampToInt(static_cast<int64_t>(screenTop) + height));
  }
  const int y = GetSetting(*state, WindowTop);

  if (width >= 6 && height >= 6) {
    form->system->MoveWindow(form->window, x, y, width, height);
  } else {
    PixelSize size = DefaultWindowSize(form->metrics);
    form->system->MoveWindow(form->window, x, y, size.width, size.height);
  }
}

PixelSize DefaultWindowSize(const FormMetrics& metrics) {
  return PixelSize{
      ClampToInt(static_cast<int64_t>(metrics.cellWidth) * 540 / 10 + 10),
      ClampToInt(static_cast<int64_t>(metrics.cellHeight) * 435 / 10),
  };
}

}  // namespace tapsmith
