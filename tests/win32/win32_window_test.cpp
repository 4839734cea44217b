// The real window under Win32 (or Wine): the program runs on the Win32
// backend with a script in the user's place, and the tests read the window
// back with the system's own calls.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app_state.h"
#include "form.h"
#include "layout_table.h"
#include "message_table.h"
#include "scripted_program.h"
#include "search.h"
#include "test_util.h"
#include "text_encoding.h"

namespace tapsmith {
namespace {

struct Cell {
  int width;
  int height;
};

// The cell, measured here by the rule the form uses, from the font that a
// fresh device context of the main window carries.
Cell MeasureCellOf(HWND window) {
  HDC dc = GetDC(window);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  ReleaseDC(window, dc);
  Cell cell{metrics.tmAveCharWidth, metrics.tmHeight + metrics.tmExternalLeading};
  if (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) cell.width = metrics.tmAveCharWidth * 3 / 2;
  return cell;
}

RECT ExpectedRect(int row, Cell cell, int originX = 0, int originY = 0) {
  const LayoutRow& r = LayoutTable(row);
  return RECT{r.left * cell.width / 10 + originX * cell.width,
              r.top * cell.height / 10 + originY * cell.height,
              r.right * cell.width / 10 + originX * cell.width,
              r.bottom * cell.height / 10 + originY * cell.height};
}

// A control's rectangle in the client coordinates of the main window.
RECT ClientRectOf(HWND main, HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string Text(HWND window) {
  std::vector<char> buffer(kSlotSize);
  int length = GetWindowTextA(window, buffer.data(), kSlotSize);
  return std::string(buffer.data(), length > 0 ? length : 0);
}

std::string ClassOf(HWND window) {
  char name[64];
  int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? length : 0);
}

bool Checked(HWND control) { return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Click(HWND main, int row) { SendMessageA(GetDlgItem(main, row), BM_CLICK, 0, 0); }

const char* ExpectedClass(int32_t type) {
  if (type >= PushButton && type <= GroupBox) return "Button";
  if (type >= StaticLabel && type <= StaticSettingHex) return "Static";
  return "Edit";
}

// The state a first start shows: the defaults, nothing loaded.
std::unique_ptr<AppState> DefaultState() {
  auto state = std::make_unique<AppState>();
  InitialiseState(state.get());
  return state;
}

std::string Row(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

TEST(Win32Window, MainWindowHasItsClassCaptionStyleAndDefaultPlace) {
  ScratchDirectory directory;
  ScriptedProgram program([](ScriptedProgram&, HWND main) {
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ClassOf(main), "Tapsmith");
    EXPECT_EQ(static_cast<UINT>(GetClassLongA(main, GCL_STYLE)), UINT{CS_HREDRAW | CS_VREDRAW});
    EXPECT_EQ(GetClassLongPtrA(main, GCLP_HBRBACKGROUND), ULONG_PTR{COLOR_BTNFACE + 1});
    EXPECT_EQ(GetClassLongPtrA(main, GCLP_MENUNAME), ULONG_PTR{0});
    EXPECT_EQ(Text(main), LiteralToCp932("Tapsmith : 電圧設定抵抗の探索 R1.50"));
    LONG style = GetWindowLongA(main, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

    // A first start: at (0, 0) with the default size for the measured cell.
    Cell cell = MeasureCellOf(main);
    RECT outer;
    GetWindowRect(main, &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right - outer.left, cell.width * 540 / 10 + 10);
    EXPECT_EQ(outer.bottom - outer.top, cell.height * 435 / 10);
  });
  EXPECT_EQ(program.Run(), 0);
}

TEST(Win32Window, AClassThatCannotBeRegisteredIsToldAndEndsTheProgram) {
  ScratchDirectory directory;
  // The name is taken already, so the program's registration fails.
  WNDCLASSA taken = {};
  taken.lpfnWndProc = DefWindowProcA;
  taken.hInstance = GetModuleHandleA(nullptr);
  taken.lpszClassName = "Tapsmith";
  ASSERT_NE(RegisterClassA(&taken), 0);
  bool scriptRan = false;
  ScriptedProgram program([&](ScriptedProgram&, HWND) { scriptRan = true; });
  program.ExpectErrors();
  EXPECT_EQ(program.Run(), 0);
  EXPECT_FALSE(scriptRan);
  ASSERT_EQ(program.errors().size(), 1u);
  EXPECT_EQ(program.errors()[0].rfind("Tapsmith: Few resource or Wrong coding", 0), 0u);
  EXPECT_EQ(directory.ReadFile("Tapsmith.ini"), "");
  UnregisterClassA("Tapsmith", GetModuleHandleA(nullptr));
}

TEST(Win32Window, ControlsFollowTheLayoutTable) {
  ScratchDirectory directory;
  ScriptedProgram program([](ScriptedProgram&, HWND main) {
    ASSERT_NE(main, nullptr);
    Cell cell = MeasureCellOf(main);
    auto state = DefaultState();
    for (int row = 0; row < kLayoutRowCount; ++row) {
      SCOPED_TRACE("row " + std::to_string(row));
      const LayoutRow& layout = LayoutTable(row);
      HWND control = GetDlgItem(main, row);
      if (!IsControlType(layout.type)) {
        EXPECT_EQ(control, nullptr);
        continue;
      }
      ASSERT_NE(control, nullptr);
      EXPECT_STRCASEEQ(ClassOf(control).c_str(), ExpectedClass(layout.type));
      // The edit control draws its one-pixel border itself and takes the
      // WS_BORDER bit out of its style when it is created without
      // WS_EX_CLIENTEDGE; a radio button gives itself WS_TABSTOP while it
      // is checked.
      DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
      DWORD expected = layout.style;
      if (layout.type == Edit) {
        style &= ~WS_BORDER;
        expected &= ~WS_BORDER;
      }
      if (layout.type == RadioButton) style &= ~WS_TABSTOP;
      EXPECT_EQ(style, expected) << std::hex << style << " " << expected;
      EXPECT_EQ(GetWindowLongA(control, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, 0);
      EXPECT_EQ(Row(ClientRectOf(main, control)), Row(ExpectedRect(row, cell)));
      EXPECT_TRUE(IsWindowEnabled(control));

      const int32_t* settings = state->settings.values;
      if (IsLabelledType(layout.type)) {
        EXPECT_EQ(Text(control), RowLabel(row, 0));
      }
      if (layout.type == Edit) {
        EXPECT_EQ(Text(control), SlotText(*state, layout.index));
      }
      if (layout.type == RadioButton) {
        EXPECT_EQ(Checked(control), settings[layout.index] == row - layout.aux);
      }
      if (layout.type == CheckBox) {
        EXPECT_EQ(Checked(control), settings[layout.index] != 0);
      }
    }
  });
  EXPECT_EQ(program.Run(), 0);
}

TEST(Win32Window, ExecuteShowsTheReportInTheResultBoxAndPaintsTheStatus) {
  ScratchDirectory directory;
  auto expected = DefaultState();
  Execute(expected.get());
  ASSERT_STRNE(SlotText(*expected, SlotResult), "");
  ASSERT_STRNE(SlotText(*expected, SlotStatus), "");

  ScriptedProgram program([&](ScriptedProgram& program, HWND main) {
    ASSERT_NE(main, nullptr);
    Cell cell = MeasureCellOf(main);
    HWND result = GetDlgItem(main, kRowResult);
    program.PaintNow(main);
    Click(main, kRowExecute);
    EXPECT_EQ(Text(result), SlotText(*expected, SlotResult));
    for (int row : {4, 5, 11, 13, 15, 17, 19, 21, 41, 49, 34, 36, 46, 47, 48}) {
      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, row))) << "row " << row;
    }

    std::vector<DrawnText> drawn = program.PaintNow(main);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].text, SlotText(*expected, SlotStatus));
    RECT status = ExpectedRect(kRowStatus, cell);
    EXPECT_EQ(
        Row(RECT{drawn[0].rect.left, drawn[0].rect.top, drawn[0].rect.right, drawn[0].rect.bottom}),
        Row(status));
  });
  EXPECT_EQ(program.Run(), 0);
}

TEST(Win32Window, TypingIsNoCommandAndAnIdWithoutActionOnlyRepaints) {
  ScratchDirectory directory;
  ScriptedProgram program([](ScriptedProgram& program, HWND main) {
    ASSERT_NE(main, nullptr);
    program.PaintNow(main);
    // The edit box's notifications (EN_UPDATE, EN_CHANGE, focus) are swallowed.
    HWND edit = GetDlgItem(main, 11);
    SetWindowTextA(edit, "3.3");
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 3, 3);
    SendMessageA(edit, WM_CHAR, 'V', 0);
    program.HandlePendingMessages();
    EXPECT_EQ(Text(edit), "3.3V");
    EXPECT_TRUE(program.PaintNow(main).empty());
    // A command id without an action (the heading's) still repaints the
    // status line.
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(0, 0), 0);
    EXPECT_EQ(program.PaintNow(main).size(), 1u);
  });
  EXPECT_EQ(program.Run(), 0);
}

TEST(Win32Window, MarksMoveOnlyAsTheFormSetsThem) {
  ScratchDirectory directory;
  ScriptedProgram program([](ScriptedProgram&, HWND main) {
    ASSERT_NE(main, nullptr);
    auto checked = [&](int row) { return Checked(GetDlgItem(main, row)); };
    // Plain radio buttons: the form moves the mark within the group.
    Click(main, 7);
    EXPECT_TRUE(checked(7));
    EXPECT_FALSE(checked(4));
    Click(main, 7);
    EXPECT_TRUE(checked(7));
    Click(main, 30);
    EXPECT_TRUE(checked(30));
    EXPECT_FALSE(checked(25));
    EXPECT_TRUE(checked(7));
    // Plain check boxes: the two orderings exclude each other when switched on.
    Click(main, kRowSortByPrecision);
    EXPECT_TRUE(checked(kRowSortByPrecision));
    Click(main, kRowSortByResistors);
    EXPECT_TRUE(checked(kRowSortByResistors));
    EXPECT_FALSE(checked(kRowSortByPrecision));
    Click(main, kRowSortByResistors);
    EXPECT_FALSE(checked(kRowSortByResistors));
    EXPECT_FALSE(checked(kRowSortByPrecision));
    Click(main, 35);
    EXPECT_TRUE(checked(35));
    Click(main, 35);
    EXPECT_FALSE(checked(35));
  });
  EXPECT_EQ(program.Run(), 0);
}

TEST(Win32Window, LanguageButtonRelabelsEveryControlBothWays) {
  ScratchDirectory directory;
  ScriptedProgram program([](ScriptedProgram&, HWND main) {
    ASSERT_NE(main, nullptr);
    HWND result = GetDlgItem(main, kRowResult);
    SetWindowTextA(result, "kept");
    EXPECT_EQ(Text(GetDlgItem(main, kRowLanguage)), "English");
    for (int language : {1, 0}) {
      Click(main, kRowLanguage);
      for (int row = 0; row < kLayoutRowCount; ++row) {
        if (!IsLabelledType(LayoutTable(row).type)) continue;
        EXPECT_EQ(Text(GetDlgItem(main, row)), RowLabel(row, language))
            << "row " << row << " language " << language;
      }
      EXPECT_EQ(Text(result), "kept");
    }
    EXPECT_EQ(Text(GetDlgItem(main, 3)), LiteralToCp932("構成選択"));
  });
  EXPECT_EQ(program.Run(), 0);
}

SCROLLINFO ScrollBar(HWND window, int bar) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  EXPECT_TRUE(GetScrollInfo(window, bar, &info));
  return info;
}

// Whole lines and columns of the client area.
Cell ClientCells(HWND window, Cell cell) {
  RECT client;
  GetClientRect(window, &client);
  return Cell{client.right / cell.width, client.bottom / cell.height};
}

TEST(Win32Window, VerticalBarMovesTheFormByWholeLinesAndGrowingPullsItBack) {
  ScratchDirectory directory;
  ScriptedProgram program([](ScriptedProgram& program, HWND main) {
    ASSERT_NE(main, nullptr);
    Cell cell = MeasureCellOf(main);
    HWND heading = GetDlgItem(main, 0);
    // Wide enough that the horizontal bar stays hidden.
    MoveWindow(main, 0, 0, cell.width * 60, cell.height * 20, TRUE);
    program.HandlePendingMessages();
    int lines = ClientCells(main, cell).height;
    SCROLLINFO bar = ScrollBar(main, SB_VERT);
    EXPECT_EQ(bar.nMin, 0);
    EXPECT_EQ(bar.nMax, kFormLines);
    EXPECT_EQ(static_cast<int>(bar.nPage), lines);
    EXPECT_EQ(bar.nPos, 0);
    EXPECT_TRUE(GetWindowLongA(main, GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(GetWindowLongA(main, GWL_STYLE) & WS_HSCROLL);

    SendMessageA(main, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(ScrollBar(main, SB_VERT).nPos, 1);
    EXPECT_EQ(Row(ClientRectOf(main, heading)), Row(ExpectedRect(0, cell, 0, -1)));

    SendMessageA(main, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(ScrollBar(main, SB_VERT).nPos, 1 + lines);
    EXPECT_EQ(Row(ClientRectOf(main, heading)), Row(ExpectedRect(0, cell, 0, -1 - lines)));

    // The bar stops at 40 - lines; the lowest list box comes into view.
    SendMessageA(main, WM_VSCROLL, SB_BOTTOM, 0);
    int bottom = kFormLines + 1 - lines;
    EXPECT_EQ(ScrollBar(main, SB_VERT).nPos, bottom);
    EXPECT_EQ(Row(ClientRectOf(main, GetDlgItem(main, 48))),
              Row(ExpectedRect(48, cell, 0, -bottom)));
    SendMessageA(main, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(ScrollBar(main, SB_VERT).nPos, bottom);
    EXPECT_EQ(Row(ClientRectOf(main, heading)), Row(ExpectedRect(0, cell, 0, -bottom)));

    SendMessageA(main, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(Row(ClientRectOf(main, heading)), Row(ExpectedRect(0, cell, 0, 1 - bottom)));

    // The "#" button gives the default size, tall enough for the whole
    // form: it is pulled back to its place and the bar goes.
    Click(main, kRowDefaultSize);
    program.HandlePendingMessages();
    EXPECT_EQ(Row(ClientRectOf(main, heading)), Row(ExpectedRect(0, cell)));
    EXPECT_EQ(Row(ClientRectOf(main, GetDlgItem(main, 48))), Row(ExpectedRect(48, cell)));
    EXPECT_FALSE(GetWindowLongA(main, GWL_STYLE) & WS_VSCROLL);
  });
  EXPECT_EQ(program.Run(), 0);
}

TEST(Win32Window, HorizontalBarMovesTheFormByWholeColumns) {
  ScratchDirectory directory;
  ScriptedProgram program([](ScriptedProgram& program, HWND main) {
    ASSERT_NE(main, nullptr);
    Cell cell = MeasureCellOf(main);
    HWND heading = GetDlgItem(main, 0);
    // Tall enough that the vertical bar stays hidden.
    MoveWindow(main, 0, 0, cell.width * 30, cell.height * 44, TRUE);
    program.HandlePendingMessages();
    int columns = ClientCells(main, cell).width;
    SCROLLINFO bar = ScrollBar(main, SB_HORZ);
    EXPECT_EQ(bar.nMax, kFormColumns);
    EXPECT_EQ(static_cast<int>(bar.nPage), columns);
    EXPECT_FALSE(GetWindowLongA(main, GWL_STYLE) & WS_VSCROLL);

    SendMessageA(main, WM_HSCROLL, SB_LINELEFT, 0);
    EXPECT_EQ(Row(ClientRectOf(main, heading)), Row(ExpectedRect(0, cell)));
    SendMessageA(main, WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(ScrollBar(main, SB_HORZ).nPos, 1);
    EXPECT_EQ(Row(ClientRectOf(main, heading)), Row(ExpectedRect(0, cell, -1, 0)));
    // Scrolled 1 column, the status line (at 1.5 columns) is still drawn;
    // scrolled 2, its left edge is off the client area and it is left out.
    EXPECT_EQ(program.PaintNow(main).size(), 1u);
    SendMessageA(main, WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_TRUE(program.PaintNow(main).empty());

    SendMessageA(main, WM_HSCROLL, SB_RIGHT, 0);
    int right = kFormColumns + 1 - columns;
    EXPECT_EQ(ScrollBar(main, SB_HORZ).nPos, right);
    EXPECT_EQ(Row(ClientRectOf(main, GetDlgItem(main, 2))), Row(ExpectedRect(2, cell, -right, 0)));
    SendMessageA(main, WM_HSCROLL, SB_LEFT, 0);
    EXPECT_EQ(Row(ClientRectOf(main, heading)), Row(ExpectedRect(0, cell)));
  });
  EXPECT_EQ(program.Run(), 0);
}

TEST(Win32Window, ClosingSavesTheStateAndTheNextStartRestoresIt) {
  ScratchDirectory directory;
  RECT saved = {};
  {
    ScriptedProgram first([&](ScriptedProgram& program, HWND main) {
      ASSERT_NE(main, nullptr);
      SetWindowTextA(GetDlgItem(main, 11), "2.5V");
      Click(main, 5);   // configuration [b]
      Click(main, 49);  // "Serial"
      Click(main, 1);   // English
      MoveWindow(main, 40, 30, 600, 500, TRUE);
      program.HandlePendingMessages();
      GetWindowRect(main, &saved);
    });
    EXPECT_EQ(first.Run(), 0);
  }  // the class goes with the first program's window system

  std::vector<std::string> lines = testing::SplitLines(directory.ReadFile("Tapsmith.ini"));
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(lines[0], "20");
  EXPECT_EQ(lines[1 + Language], "1");
  EXPECT_EQ(lines[1 + WindowLeft], std::to_string(saved.left));
  EXPECT_EQ(lines[1 + WindowTop], std::to_string(saved.top));
  EXPECT_EQ(lines[1 + WindowRight], std::to_string(saved.right));
  EXPECT_EQ(lines[1 + WindowBottom], std::to_string(saved.bottom));
  EXPECT_EQ(lines[1 + Configuration], "1");
  EXPECT_EQ(lines[1 + SerialMode], "1");
  EXPECT_EQ(lines[21], "20");
  EXPECT_EQ(lines[22 + SlotVoMinTyp], "2.5V");
  // A list is one line, each value followed by BEL BEL.
  const std::string& list1 = lines[22 + SlotList1];
  EXPECT_EQ(list1.find("\r"), std::string::npos);
  EXPECT_EQ(list1.substr(list1.size() - 2), "\x07\x07");

  ScriptedProgram second([&](ScriptedProgram&, HWND main) {
    ASSERT_NE(main, nullptr);
    RECT outer;
    GetWindowRect(main, &outer);
    EXPECT_EQ(Row(outer), Row(saved));
    EXPECT_EQ(Text(GetDlgItem(main, 11)), "2.5V");
    EXPECT_FALSE(Checked(GetDlgItem(main, 4)));
    EXPECT_TRUE(Checked(GetDlgItem(main, 5)));
    EXPECT_TRUE(Checked(GetDlgItem(main, 49)));
    EXPECT_EQ(Text(GetDlgItem(main, kRowLanguage)), "Japanese");
  });
  EXPECT_EQ(second.Run(), 0);
}

// The Exit confirmation is a real modal message box; a thread timer, which
// its modal loop dispatches, answers it once it is there. A box that cannot
// be found by its class within 10 s is answered "No" through the active
// window, unread, so that a failing test ends rather than hangs.
struct MessageBoxAnswer {
  int button = 0;
  std::string caption;
  std::string text;
  bool answered = false;
  int ticks = 0;
};
MessageBoxAnswer* pendingAnswer = nullptr;
constexpr int kAnswerTicks = 500;  // of 20 ms

void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR, DWORD) {
  if (pendingAnswer == nullptr || pendingAnswer->answered) return;
  HWND box = FindWindowA("#32770", nullptr);
  if (box == nullptr) {
    if (++pendingAnswer->ticks == kAnswerTicks && GetActiveWindow() != nullptr) {
      PostMessageA(GetActiveWindow(), WM_COMMAND, IDNO, 0);
    }
    return;  // not shown yet: the next tick looks again
  }
  pendingAnswer->caption = Text(box);
  pendingAnswer->text = Text(GetDlgItem(box, 0xFFFF));
  pendingAnswer->answered = true;
  PostMessageA(box, WM_COMMAND, pendingAnswer->button, 0);
}

void ClickExitAndAnswer(HWND main, MessageBoxAnswer* answer) {
  pendingAnswer = answer;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, AnswerMessageBox);
  Click(main, kRowExit);
  KillTimer(nullptr, timer);
  pendingAnswer = nullptr;
}

TEST(Win32Window, ExitAsksFirstAndSavesOnlyOnYes) {
  ScratchDirectory directory;
  MessageBoxAnswer no;
  no.button = IDNO;
  MessageBoxAnswer yes;
  yes.button = IDYES;
  ScriptedProgram program([&](ScriptedProgram& program, HWND main) {
    ASSERT_NE(main, nullptr);
    ClickExitAndAnswer(main, &no);
    EXPECT_TRUE(no.answered);
    EXPECT_EQ(no.caption, "Exit");
    EXPECT_EQ(no.text, MessageText(Message::ExitConfirmation, 0));
    EXPECT_FALSE(program.destroyed());
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(directory.ReadFile("Tapsmith.ini"), "");

    ClickExitAndAnswer(main, &yes);
    EXPECT_TRUE(yes.answered);
    EXPECT_TRUE(program.destroyed());
  });
  EXPECT_EQ(program.Run(), 0);
  EXPECT_NE(directory.ReadFile("Tapsmith.ini"), "");
}

}  // namespace
}  // namespace tapsmith
