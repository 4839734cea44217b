// The form window: the form engine that turns the layout table into child
// controls of the main window, paints the painted rows, carries texts between
// the controls and the text slots and places the main window; and the entry
// point of the program.
//
// Everything here is written against the WindowSystem interface and includes
// no toolkit: the Qt and Win32 programs construct their backend and call
// RunTapsmith.
#pragma once

#include "app_state.h"
#include "layout_table.h"
#include "window_system.h"

namespace tapsmith {

// The main window's style: a sizable top-level window with both scroll bars.
constexpr uint32_t kMainWindowStyle = kStyleOverlappedWindow | kStyleVScroll | kStyleHScroll;

// Used when the window system cannot tell the font's metrics (or tells a
// zero size), so that no division by the cell size can fail.
constexpr int kFallbackCellWidth = 8;
constexpr int kFallbackCellHeight = 16;

// The pixel size of one layout column and line, measured once at creation.
struct FormMetrics {
  int cellWidth = kFallbackCellWidth;
  int cellHeight = kFallbackCellHeight;
};

// The form's scroll offset in whole cells; both always <= 0.
struct ScrollOrigin {
  int x = 0;
  int y = 0;
};

// One handle per layout row; null where the row has no control.
struct ControlHandles {
  WindowHandle handles[kLayoutRowCount] = {};
};

// A size in pixels.
struct PixelSize {
  int width;
  int height;
};

// Everything the form engine, the commands and the scrolling work on.
struct Form {
  Form(AppState* state, WindowSystem* system) : state(state), system(system) {}

  AppState* state;
  WindowSystem* system;
  WindowHandle window = nullptr;  // the main window, once created
  FormMetrics metrics;
  ScrollOrigin origin;
  ControlHandles controls;
  // Counts size notifications; a notification that finds it changed after
  // setting a scroll bar knows a newer one ran inside that call.
  unsigned sizeNotifications = 0;
};

/// Reads the text metrics of the main window's font into `form->metrics`:
/// width = average character width, widened by half (truncating) when the
/// font is variable-pitch; height = height + external leading. A dimension
/// that cannot be read, or reads as 0 or less, takes the fallback 8 x 16.
void MeasureCell(Form* form);

/// The row's rectangle in client pixels: each edge converted by itself as
/// trunc(value * cell / 10), then offset by the scroll origin.
PixelRect RowToPixels(const Form& form, int row);

/// Creates one control per control row, with id = row number, text " " and
/// the row's style, and gives it its initial mark or text from the state. A
/// control that cannot be created leaves a null handle.
void CreateFormControls(Form* form);

/// Sets every labelled control's text to its label in the current language.
void RelabelControls(const Form& form);

/// Draws the painted rows. A row whose converted left edge lies left of the
/// client area is not drawn at all.
void PaintForm(const Form& form, PaintSurface& surface);

/// Copies the text of every edit control into its text slot, cut at 32759
/// bytes. The slot of an edit row without a control is left unchanged.
void CollectEditTexts(Form* form);

/// Moves the main window to the saved rectangle (settings 1 to 4), pulled
/// onto the virtual screen from either side, or gives it the default size
/// when the saved one is 5 pixels or less in either direction.
void PlaceMainWindow(Form* form);

/// The default outer window size for the measured cell.
PixelSize DefaultWindowSize(const FormMetrics& metrics);

/// The program: creates the main window (its creation builds the form), shows
/// it with `showCommand` and runs the message loop. Returns the loop's exit
/// code, or 0 when the main window cannot be created (after telling the user).
int RunTapsmith(WindowSystem* system, int showCommand);

}  // namespace tapsmith
