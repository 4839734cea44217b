// The whole program on the real toolkit: the form of src/ui on the Qt backend,
// driven through its widgets as a user would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include "form.h"
#include "layout_table.h"
#include "qt_main_window.h"
#include "qt_window_system.h"
#include "test_util.h"
#include "window_test_util.h"

namespace tapsmith {
namespace {

constexpr int kRowExecute = 34;
constexpr int kRowResult = 42;
constexpr int kRowStatus = 40;
constexpr int kRowExit = 36;

// Answers the question box that the next event opens, noting its caption
// and, when asked, its Yes and No buttons' texts.
void AnswerNextQuestion(QMessageBox::StandardButton answer, QString* caption,
                        QStringList* buttons = nullptr) {
  QTimer::singleShot(0, [answer, caption, buttons] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      ADD_FAILURE() << "no question was asked";
      return;
    }
    *caption = box->windowTitle();
    EXPECT_TRUE(box->icon() == QMessageBox::NoIcon);
    if (buttons != nullptr)
      *buttons = {box->button(QMessageBox::Yes)->text(), box->button(QMessageBox::No)->text()};
    box->button(answer)->click();
  });
}

// How far a control's whole label reaches past the room the style gives it
// (0 or less: it fits): a mark's indicator and gap before the text of a
// check box or radio button, a push button's frame around its text, a
// frame's title within the frame, a static label's text on its one line.
int LabelOverrun(QWidget* control) {
  if (auto* push = qobject_cast<QPushButton*>(control)) {
    QStyleOptionButton option;
    option.initFrom(push);
    const QRect room = push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push);
    return push->fontMetrics().horizontalAdvance(push->text()) - room.width();
  }
  if (auto* button = qobject_cast<QAbstractButton*>(control))
    return button->sizeHint().width() - button->width();
  if (auto* frame = qobject_cast<QGroupBox*>(control))
    return frame->minimumSizeHint().width() - frame->width();
  if (auto* label = qobject_cast<QLabel*>(control))
    return label->fontMetrics().horizontalAdvance(label->text()) - label->contentsRect().width();
  ADD_FAILURE() << "a labelled row without a labelled widget";
  return 0;
}

// What a test sees of the running program.
class Program {
 public:
  Program(QtWindowSystem* system, WindowHandle window) : system_(system), window_(window) {}

  QtMainWindow* Main() const { return static_cast<QtMainWindow*>(system_->WidgetOf(window_)); }
  QWidget* Widget(int row) const { return system_->WidgetOf(system_->ControlWithId(window_, row)); }
  template <typename Kind>
  Kind* As(int row) const {
    return qobject_cast<Kind*>(Widget(row));
  }
  void Click(int row) { QTest::mouseClick(Widget(row), Qt::LeftButton); }
  void PressSpace(int row) {
    Widget(row)->setFocus();
    QTest::keyClick(Widget(row), Qt::Key_Space);
  }
  bool Checked(int row) const { return As<QAbstractButton>(row)->isChecked(); }
  std::string Text(int row) {
    static char buffer[kSlotSize];
    const int length = system_->GetText(system_->ControlWithId(window_, row), buffer, kSlotSize);
    return std::string(buffer, length);
  }
  // The form's cell and scroll origin, for a row's place in pixels.
  QRect RowRect(int row, int originX = 0, int originY = 0) const {
    Form form(nullptr, system_);
    form.window = window_;
    MeasureCell(&form);
    form.origin = ScrollOrigin{originX, originY};
    const PixelRect rect = RowToPixels(form, row);
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  }
  FormMetrics Cell() const {
    Form form(nullptr, system_);
    form.window = window_;
    MeasureCell(&form);
    return form.metrics;
  }
  QImage Client() const { return Main()->client()->grab().toImage(); }

 private:
  QtWindowSystem* system_;
  WindowHandle window_;
};

class TapsmithWindow : public ::testing::Test {
 protected:
  void SetUp() override { testing::EnsureApplication(); }

  // Runs the program; `script` runs once the message loop does, then the
  // window is closed (if the script left it open), which ends the program.
  int Run(const std::function<void(Program&)>& script) {
    QtWindowSystem system(argc_, argv_);
    QTimer::singleShot(0, [&] {
      const WindowHandle window = system.LastMainWindow();
      if (window == nullptr) {
        ADD_FAILURE() << "the program made no window";
        system.PostQuit(1);
        return;
      }
      Program program(&system, window);
      EXPECT_TRUE(QTest::qWaitForWindowExposed(program.Main()));
      script(program);
      if (QWidget* main = system.WidgetOf(window)) main->close();
    });
    return RunTapsmith(&system, 10);
  }

  inline static int argc_ = 1;
  inline static char name_[] = "window_tests";
  inline static char* argv_[] = {name_, nullptr};
  testing::TemporaryWorkingDirectory directory_;
};

TEST_F(TapsmithWindow, ExecuteOnTheDefaultsFillsTheResultAndTheStatusLine) {
  const int code = Run([](Program& program) {
    const QRect status = program.RowRect(kRowStatus);
    EXPECT_EQ(testing::DarkPixels(program.Client(), status), 0);
    program.Click(kRowExecute);
    const std::string result = program.Text(kRowResult);
    EXPECT_EQ(testing::CountCrLfLines(result), 10);
    EXPECT_EQ(result.substr(0, result.find("\r\n")), "8.2k + (9.1k // 300k) = 1.349903 (-0.007%)");
    EXPECT_GT(testing::DarkPixels(program.Client(), status), 20);
    EXPECT_TRUE(program.Widget(kRowExecute)->isEnabled());
  });
  EXPECT_EQ(code, 0);
}

TEST_F(TapsmithWindow, EveryLabelShowsWholeInBothLanguages) {
  Run([](Program& program) {
    for (int language = 0; language < 2; ++language) {
      int labelled = 0;
      for (int row = 0; row < kLayoutRowCount; ++row) {
        if (!IsLabelledType(LayoutTable(row).type)) continue;
        ++labelled;
        EXPECT_LE(LabelOverrun(program.Widget(row)), 0)
            << "row " << row << " in language " << language << ": " << program.Text(row);
      }
      EXPECT_EQ(labelled, 31);
      program.Click(1);
    }
  });
}

TEST_F(TapsmithWindow, MarksChangeOnlyThroughTheRules) {
  Run([](Program& program) {
    EXPECT_TRUE(program.Checked(4));
    program.Click(5);
    EXPECT_FALSE(program.Checked(4));
    EXPECT_TRUE(program.Checked(5));
    program.Click(5);
    EXPECT_TRUE(program.Checked(5));
    program.PressSpace(29);
    EXPECT_TRUE(program.Checked(29));
    for (int row = 25; row <= 30; ++row) {
      if (row == 29) continue;
      EXPECT_FALSE(program.Checked(row)) << "row " << row;
    }

    program.Click(39);
    EXPECT_TRUE(program.Checked(39));
    program.Click(41);
    EXPECT_TRUE(program.Checked(41));
    EXPECT_FALSE(program.Checked(39));
    program.PressSpace(41);
    EXPECT_FALSE(program.Checked(41));
    EXPECT_FALSE(program.Checked(39));
    program.Click(35);
    program.Click(49);
    EXPECT_TRUE(program.Checked(35));
    EXPECT_TRUE(program.Checked(49));
  });
}

TEST_F(TapsmithWindow, ClosingSavesAndTheNextStartShowsTheSameState) {
  std::string inputs, list, result;
  QImage status;
  Run([&](Program& program) {
    auto* edit = program.As<QLineEdit>(11);
    edit->selectAll();
    QTest::keyClicks(edit, "1.349V");
    auto* editor = program.As<QPlainTextEdit>(46);
    editor->moveCursor(QTextCursor::End);
    editor->insertPlainText("\n510k");
    program.Click(5);
    program.Click(49);
    program.Click(kRowExecute);
    inputs = program.Text(11);
    list = program.Text(46);
    result = program.Text(kRowResult);
    status = program.Client().copy(program.RowRect(kRowStatus));
  });
  EXPECT_TRUE(std::filesystem::exists(directory_.File("Tapsmith.ini")));
  EXPECT_EQ(inputs, "1.349V");
  EXPECT_NE(list.find("\r\n510k"), std::string::npos);
  EXPECT_FALSE(result.empty());

  Run([&](Program& program) {
    EXPECT_EQ(program.Text(11), inputs);
    EXPECT_EQ(program.Text(46), list);
    EXPECT_EQ(program.Text(kRowResult), result);
    EXPECT_TRUE(program.Checked(5));
    EXPECT_FALSE(program.Checked(4));
    EXPECT_TRUE(program.Checked(49));
    const QImage again = program.Client().copy(program.RowRect(kRowStatus));
    EXPECT_EQ(again, status);
    EXPECT_GT(testing::DarkPixels(again, again.rect()), 20);
  });
}

TEST_F(TapsmithWindow, ExitAskedFirstAndOnlyYesSavesAndEnds) {
  QString caption;
  const int code = Run([&](Program& program) {
    AnswerNextQuestion(QMessageBox::No, &caption);
    program.Click(kRowExit);
    EXPECT_EQ(caption, QString("Exit"));
    ASSERT_NE(program.Main(), nullptr);
    EXPECT_TRUE(program.Main()->isVisible());
    EXPECT_FALSE(std::filesystem::exists("Tapsmith.ini"));
    caption.clear();
    AnswerNextQuestion(QMessageBox::Yes, &caption);
    program.Click(kRowExit);
    EXPECT_EQ(caption, QString("Exit"));
    EXPECT_EQ(program.Main(), nullptr);
  });
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(std::filesystem::exists(directory_.File("Tapsmith.ini")));
}

TEST_F(TapsmithWindow, ExitQuestionButtonsFollowTheLanguage) {
  Run([](Program& program) {
    QString caption;
    QStringList buttons;
    AnswerNextQuestion(QMessageBox::No, &caption, &buttons);
    program.Click(kRowExit);
    EXPECT_EQ(buttons, QStringList({QString::fromUtf8("はい"), QString::fromUtf8("いいえ")}));
    program.Click(1);
    AnswerNextQuestion(QMessageBox::No, &caption, &buttons);
    program.Click(kRowExit);
    EXPECT_EQ(buttons, QStringList({"Yes", "No"}));
  });
}

TEST_F(TapsmithWindow, SmallWindowScrollsInWholeCellsAndDropsTheCutStatusLine) {
  Run([](Program& program) {
    program.Click(kRowExecute);
    program.Main()->resize(260, 400);
    const FormMetrics cell = program.Cell();
    QWidget* execute = program.Widget(kRowExecute);
    const QPoint start = execute->pos();
    QScrollBar* across = program.Main()->Bar(ScrollBarKind::Horizontal);
    QScrollBar* down = program.Main()->Bar(ScrollBarKind::Vertical);
    ASSERT_FALSE(across->isHidden());
    ASSERT_FALSE(down->isHidden());

    across->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(execute->pos(), start - QPoint(cell.cellWidth, 0));
    // Scrolled one column, the status line still starts inside the client area.
    const QRect oneColumn = program.RowRect(kRowStatus, -1, 0);
    EXPECT_GE(oneColumn.left(), 0);
    EXPECT_GT(testing::DarkPixels(program.Client(), oneColumn), 20);

    across->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(execute->pos(), start - QPoint(2 * cell.cellWidth, 0));
    const QRect twoColumns = program.RowRect(kRowStatus, -2, 0);
    EXPECT_LT(twoColumns.left(), 0);
    EXPECT_EQ(testing::DarkPixels(program.Client(), twoColumns), 0);

    // A page down, cut where the bar ends: the form follows the bar.
    down->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const int lines = program.Main()->client()->height() / cell.cellHeight;
    EXPECT_EQ(down->value(), std::min(lines, 40 - lines));
    EXPECT_EQ(execute->pos(), start - QPoint(2 * cell.cellWidth, down->value() * cell.cellHeight));
    down->triggerAction(QAbstractSlider::SliderToMinimum);
    across->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(execute->pos(), start);
  });
}

}  // namespace
}  // namespace tapsmith
