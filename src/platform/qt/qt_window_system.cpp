#include "qt_window_system.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "control_text.h"
#include "plain_buttons.h"
#include "qt_main_window.h"

namespace tapsmith {
namespace {

constexpr uint32_t kStyleVisible = 0x10000000;   // WS_VISIBLE
constexpr uint32_t kStyleDisabled = 0x08000000;  // WS_DISABLED
constexpr uint32_t kStaticCenter = 0x1;          // SS_CENTER
constexpr uint32_t kStaticAlignMask = 0x3;
constexpr uint32_t kEditCenter = 0x1;  // ES_CENTER
constexpr uint32_t kEditRight = 0x2;   // ES_RIGHT

// ShowWindow commands.
constexpr int kShowHide = 0;         // SW_HIDE
constexpr int kShowMinimized = 2;    // SW_SHOWMINIMIZED
constexpr int kShowMaximized = 3;    // SW_SHOWMAXIMIZED
constexpr int kShowMinimize = 6;     // SW_MINIMIZE
constexpr int kShowMinNoActive = 7;  // SW_SHOWMINNOACTIVE

// Button and frame texts: an ampersand would make a keyboard shortcut, and
// the window has none.
QString WithoutShortcut(const std::string& utf8) {
  return QString::fromStdString(utf8).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace

QtWindowSystem::QtWindowSystem(int& argc, char** argv) {
  if (QApplication::instance() == nullptr)
    ownedApplication_ = std::make_unique<QApplication>(argc, argv);
  // Only the form ends the loop, as with the native message loop.
  QApplication::setQuitOnLastWindowClosed(false);
}

QtWindowSystem::~QtWindowSystem() {
  records_.clear();
  // Torn down here, not by the form: the windows report nothing more.
  for (auto& [handle, window] : mainWindows_) window->Detach();
  mainWindows_.clear();
}

QtWindowSystem::Record* QtWindowSystem::Find(WindowHandle handle) {
  auto found = records_.find(handle);
  return found == records_.end() ? nullptr : &found->second;
}

const QtWindowSystem::Record* QtWindowSystem::Find(WindowHandle handle) const {
  auto found = records_.find(handle);
  return found == records_.end() ? nullptr : &found->second;
}

QtMainWindow* QtWindowSystem::FindMainWindow(WindowHandle handle) {
  Record* record = Find(handle);
  if (record == nullptr || record->kind != Kind::MainWindow) return nullptr;
  return static_cast<QtMainWindow*>(record->widget);
}

// --- The main window ------------------------------------------------------

WindowHandle QtWindowSystem::CreateMainWindow(const char* caption, uint32_t style,
                                              WindowEvents* events) {
  if (events == nullptr) return nullptr;
  auto owned = std::make_unique<QtMainWindow>(style);
  QtMainWindow* window = owned.get();
  const WindowHandle handle = window->handle();
  mainWindows_[handle] = std::move(owned);
  records_[handle] = Record{window, Kind::MainWindow, nullptr, 0, caption ? caption : "", ""};
  ShowText(&records_[handle]);
  window->SetOnDestroyed([this, handle] { ForgetWindow(handle); });
  window->SetEvents(events);
  if (!events->OnCreate(handle)) {
    window->Detach();
    ForgetWindow(handle);
    return nullptr;
  }
  lastMainWindow_ = handle;
  // The size notification that follows creation.
  window->Relayout(true);
  return handle;
}

void QtWindowSystem::ShowMainWindow(WindowHandle window, int showCommand) {
  QtMainWindow* main = FindMainWindow(window);
  if (main == nullptr) return;
  switch (showCommand) {
    case kShowHide:
      main->hide();
      return;
    case kShowMinimized:
    case kShowMinimize:
    case kShowMinNoActive:
      main->showMinimized();
      return;
    case kShowMaximized:
      main->showMaximized();
      break;
    default:
      main->show();
      break;
  }
  main->client()->MarkPaintPending();
  UpdateWindow(window);
}

int QtWindowSystem::RunMessageLoop() {
  // A quit posted before the loop runs ends it at once, as a queued message would.
  if (!quitPosted_) QApplication::exec();
  quitPosted_ = false;
  return quitCode_;
}

void QtWindowSystem::PostQuit(int exitCode) {
  quitPosted_ = true;
  quitCode_ = exitCode;
  // Leaves the loop once the current event is handled; no-op outside a loop.
  QCoreApplication::exit(exitCode);
}

void QtWindowSystem::SendDestroy(WindowHandle window) {
  if (QtMainWindow* main = FindMainWindow(window)) main->Destroy();
}

void QtWindowSystem::ForgetWindow(WindowHandle window) {
  for (auto it = records_.begin(); it != records_.end();) {
    if (it->first == window || it->second.parent == window)
      it = records_.erase(it);
    else
      ++it;
  }
  if (lastMainWindow_ == window) lastMainWindow_ = nullptr;
}

// --- Child controls -------------------------------------------------------

QtWindowSystem::Kind QtWindowSystem::KindOf(ControlClass controlClass, uint32_t style) {
  // The button kinds of the style (BS_*); any other kind is a push button.
  struct ButtonKind {
    uint32_t style;
    Kind kind;
  };
  static const ButtonKind kButtonKinds[] = {
      {0x2, Kind::CheckBox},     // BS_CHECKBOX
      {0x3, Kind::CheckBox},     // BS_AUTOCHECKBOX
      {0x5, Kind::CheckBox},     // BS_3STATE
      {0x6, Kind::CheckBox},     // BS_AUTO3STATE
      {0x4, Kind::RadioButton},  // BS_RADIOBUTTON
      {0x9, Kind::RadioButton},  // BS_AUTORADIOBUTTON
      {0x7, Kind::GroupBox},     // BS_GROUPBOX
  };
  switch (controlClass) {
    case ControlClass::Static:
      return Kind::Label;
    case ControlClass::Edit:
      return (style & kEditMultiLine) ? Kind::TextEditor : Kind::LineEdit;
    case ControlClass::Button:
      for (const ButtonKind& kind : kButtonKinds)
        if ((style & kButtonKindMask) == kind.style) return kind.kind;
      return Kind::PushButton;
  }
  return Kind::Label;
}

QWidget* QtWindowSystem::NewWidget(Kind kind, uint32_t style, QWidget* parent, WindowHandle window,
                                   int id) {
  // WM_COMMAND carries the id in 16 bits.
  const int commandId = id & 0xFFFF;
  auto reportClick = [this, window, commandId] {
    QtMainWindow* main = FindMainWindow(window);
    if (main != nullptr && main->events() != nullptr) main->events()->OnCommand(window, commandId);
  };
  QAbstractButton* button = nullptr;
  switch (kind) {
    case Kind::PushButton:
      button = new QPushButton(parent);
      break;
    case Kind::CheckBox:
      button = new PlainCheckBox(parent);
      break;
    case Kind::RadioButton:
      button = new PlainRadioButton(parent);
      break;
    case Kind::GroupBox: {
      auto* frame = new QGroupBox(parent);
      frame->setFocusPolicy(Qt::NoFocus);
      return frame;
    }
    case Kind::Label: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      const uint32_t align = style & kStaticAlignMask;
      label->setAlignment(Qt::AlignTop | (align == kStaticRight    ? Qt::AlignRight
                                          : align == kStaticCenter ? Qt::AlignHCenter
                                                                   : Qt::AlignLeft));
      return label;
    }
    case Kind::LineEdit: {
      auto* edit = new QLineEdit(parent);
      edit->setFrame((style & kStyleBorder) != 0);
      edit->setAlignment(Qt::AlignVCenter | ((style & kEditRight)    ? Qt::AlignRight
                                             : (style & kEditCenter) ? Qt::AlignHCenter
                                                                     : Qt::AlignLeft));
      edit->setFocusPolicy(Qt::ClickFocus);
      return edit;
    }
    case Kind::TextEditor: {
      auto* editor = new QPlainTextEdit(parent);
      if (!(style & kStyleBorder)) editor->setFrameShape(QFrame::NoFrame);
      editor->setVerticalScrollBarPolicy((style & kStyleVScroll) ? Qt::ScrollBarAlwaysOn
                                                                 : Qt::ScrollBarAlwaysOff);
      editor->setHorizontalScrollBarPolicy((style & kStyleHScroll) ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
      // Lines run on sideways when the edit scrolls sideways, else they wrap.
      const bool sideways = (style & (kEditAutoHScroll | kStyleHScroll)) != 0;
      editor->setLineWrapMode(sideways ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
      editor->setFocusPolicy(Qt::ClickFocus);
      return editor;
    }
    case Kind::MainWindow:
      return nullptr;
  }
  button->setCheckable(kind != Kind::PushButton);
  // The native gap between a mark and its text is narrow; the toolkit's
  // wider one would cut off the end of the longer labels.
  if (kind != Kind::PushButton) button->setStyleSheet(QStringLiteral("spacing: 2px"));
  // Clicking focuses a button; the Tab key moves nowhere.
  button->setFocusPolicy(Qt::ClickFocus);
  QObject::connect(button, &QAbstractButton::clicked, button, reportClick);
  return button;
}

WindowHandle QtWindowSystem::CreateControl(ControlClass controlClass, const char* text,
                                           uint32_t style, int x, int y, int width, int height,
                                           WindowHandle parent, int id) {
  QtMainWindow* main = FindMainWindow(parent);
  if (main == nullptr || main->destroyed()) return nullptr;
  const Kind kind = KindOf(controlClass, style);
  QWidget* widget = NewWidget(kind, style, main->client(), parent, id);
  if (widget == nullptr) return nullptr;
  widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
  widget->setEnabled(!(style & kStyleDisabled));
  widget->setVisible((style & kStyleVisible) != 0);

  const WindowHandle handle = HandleOf(widget);
  records_[handle] = Record{widget, kind, parent, id, text ? text : "", ""};
  ShowText(&records_[handle]);

  return handle;
}

std::string QtWindowSystem::EditText(const Record& record) {
  if (record.kind == Kind::LineEdit)
    return static_cast<QLineEdit*>(record.widget)->text().toStdString();
  if (record.kind == Kind::TextEditor)
    return static_cast<QPlainTextEdit*>(record.widget)->toPlainText().toStdString();
  return std::string();
}

void QtWindowSystem::ShowText(Record* record) {
  const bool multiLine = record->kind == Kind::TextEditor || record->kind == Kind::Label;
  const std::string shown = BytesToShownText(record->bytes, multiLine);
  QWidget* widget = record->widget;
  switch (record->kind) {
    case Kind::MainWindow:
      widget->setWindowTitle(QString::fromStdString(shown));
      break;
    case Kind::PushButton:
    case Kind::CheckBox:
    case Kind::RadioButton:
      static_cast<QAbstractButton*>(widget)->setText(WithoutShortcut(shown));
      break;
    case Kind::GroupBox:
      static_cast<QGroupBox*>(widget)->setTitle(WithoutShortcut(shown));
      break;
    case Kind::Label:
      static_cast<QLabel*>(widget)->setText(QString::fromStdString(shown));
      break;
    case Kind::LineEdit: {
      auto* edit = static_cast<QLineEdit*>(widget);
      edit->setText(QString::fromStdString(shown));
      // Show the text's beginning, as a freshly set edit does.
      edit->setCursorPosition(0);
      break;
    }
    case Kind::TextEditor:
      static_cast<QPlainTextEdit*>(widget)->setPlainText(QString::fromStdString(shown));
      break;
  }
  // Read back: what the toolkit holds is what a later edit is told from.
  record->shown = EditText(*record);
}

void QtWindowSystem::SetText(WindowHandle control, const char* text) {
  Record* record = Find(control);
  if (record == nullptr) return;
  record->bytes = text ? text : "";
  ShowText(record);
}

int QtWindowSystem::GetText(WindowHandle control, char* buffer, int capacity) {
  const Record* record = Find(control);
  if (record == nullptr) return CopyTextBounded("", buffer, capacity);
  const bool editable = record->kind == Kind::LineEdit || record->kind == Kind::TextEditor;
  if (!editable) return CopyTextBounded(record->bytes, buffer, capacity);
  // Unchanged since it was set (or changed back): the very bytes it was given.
  const std::string current = EditText(*record);
  if (current == record->shown) return CopyTextBounded(record->bytes, buffer, capacity);
  const std::string typed = TypedTextToBytes(current, record->kind == Kind::TextEditor);
  return CopyTextBounded(typed, buffer, capacity);
}

void QtWindowSystem::SetCheck(WindowHandle control, bool checked) {
  Record* record = Find(control);
  if (record == nullptr) return;
  if (record->kind == Kind::CheckBox || record->kind == Kind::RadioButton)
    static_cast<QAbstractButton*>(record->widget)->setChecked(checked);
}

void QtWindowSystem::EnableControl(WindowHandle control, bool enabled) {
  if (Record* record = Find(control)) record->widget->setEnabled(enabled);
}

// --- Metrics and painting -------------------------------------------------

bool QtWindowSystem::GetTextMetrics(WindowHandle window, TextMetrics* metrics) {
  Record* record = Find(window);
  if (record == nullptr || metrics == nullptr) return false;
  // The client area's font is the one every control inherits and draws with.
  QWidget* widget = record->kind == Kind::MainWindow
                        ? static_cast<QtMainWindow*>(record->widget)->client()
                        : record->widget;
  const QFont font = widget->font();
  const QFontMetrics measured(font);
  // The average width as the native raster fonts give it (the system font
  // the form was laid out in among them): for a variable-pitch font, the
  // width of "X". The cell is then as wide, against the text, as on the
  // native system, and every label fits its control. A TrueType font's own
  // figure (OS/2 xAvgCharWidth) averages all its glyphs and runs narrow: a
  // cell measured from it cuts off English labels.
  metrics->aveCharWidth = std::max(1, measured.horizontalAdvance(QLatin1Char('X')));
  metrics->height = measured.height();
  // Some fonts report a negative leading; the native field is never below 0.
  metrics->externalLeading = std::max(0, measured.leading());
  metrics->pitchAndFamily = QFontInfo(font).fixedPitch() ? 0u : kPitchVariable;
  return true;
}

void QtWindowSystem::InvalidateClientArea(WindowHandle window, bool) {
  // The toolkit always paints the background first, so erasing is implied.
  QtMainWindow* main = FindMainWindow(window);
  if (main == nullptr) return;
  main->client()->MarkPaintPending();
  main->client()->update();
}

void QtWindowSystem::UpdateWindow(WindowHandle window) {
  QtMainWindow* main = FindMainWindow(window);
  if (main != nullptr && main->client()->paintPending()) main->client()->repaint();
}

// --- Scrolling ------------------------------------------------------------

void QtWindowSystem::SetScrollRange(WindowHandle window, ScrollBarKind bar, int min, int max,
                                    int page) {
  QtMainWindow* main = FindMainWindow(window);
  if (main == nullptr) return;
  main->Model(bar)->SetRangeAndPage(min, max, page);
  main->ScrollBarChanged(bar);
}

void QtWindowSystem::SetScrollPosition(WindowHandle window, ScrollBarKind bar, int pos) {
  QtMainWindow* main = FindMainWindow(window);
  if (main == nullptr) return;
  main->Model(bar)->SetPosition(pos);
  main->ScrollBarChanged(bar);
}

bool QtWindowSystem::GetScrollBar(WindowHandle window, ScrollBarKind bar, ScrollBarState* state) {
  QtMainWindow* main = FindMainWindow(window);
  if (main == nullptr || state == nullptr) return false;
  *state = main->Model(bar)->State();
  return true;
}

void QtWindowSystem::ScrollClientArea(WindowHandle window, int dx, int dy) {
  QtMainWindow* main = FindMainWindow(window);
  if (main == nullptr) return;
  // QWidget::scroll moves the pixels and every child, and invalidates the
  // uncovered strip: ScrollWindow exactly.
  main->client()->scroll(dx, dy);
  main->client()->MarkPaintPending();
}

// --- Placement ------------------------------------------------------------

void QtWindowSystem::MoveWindow(WindowHandle window, int x, int y, int width, int height) {
  Record* record = Find(window);
  if (record == nullptr) return;
  if (record->kind == Kind::MainWindow)
    static_cast<QtMainWindow*>(record->widget)->PlaceFrame(QRect(x, y, width, height));
  else
    record->widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
}

void QtWindowSystem::ResizeWindow(WindowHandle window, int width, int height) {
  Record* record = Find(window);
  if (record == nullptr) return;
  if (record->kind == Kind::MainWindow) {
    static_cast<QtMainWindow*>(record->widget)->ResizeFrame(QSize(width, height));
  } else {
    record->widget->resize(std::max(0, width), std::max(0, height));
    record->widget->raise();
  }
}

bool QtWindowSystem::GetWindowRect(WindowHandle window, PixelRect* rect) {
  Record* record = Find(window);
  if (record == nullptr || rect == nullptr) return false;
  QRect outer;
  if (record->kind == Kind::MainWindow) {
    outer = static_cast<QtMainWindow*>(record->widget)->Frame();
  } else {
    outer = QRect(record->widget->mapToGlobal(QPoint(0, 0)), record->widget->size());
  }
  *rect = PixelRect{outer.left(), outer.top(), outer.left() + outer.width(),
                    outer.top() + outer.height()};
  return true;
}

namespace {

// The virtual screen: the rectangle around every screen.
QRect VirtualScreen() {
  QRect all;
  for (const QScreen* screen : QGuiApplication::screens()) all = all.united(screen->geometry());
  return all;
}

}  // namespace

void QtWindowSystem::GetVirtualScreenOrigin(int* x, int* y) {
  const QRect all = VirtualScreen();
  if (x != nullptr) *x = all.left();
  if (y != nullptr) *y = all.top();
}

void QtWindowSystem::GetVirtualScreenSize(int* width, int* height) {
  const QRect all = VirtualScreen();
  if (width != nullptr) *width = all.width();
  if (height != nullptr) *height = all.height();
}

// --- Message boxes --------------------------------------------------------

bool QtWindowSystem::AskYesNo(WindowHandle owner, const char* text, const char* caption,
                              const char* yesLabel, const char* noLabel) {
  QMessageBox box(QMessageBox::NoIcon,
                  QString::fromStdString(BytesToShownText(caption ? caption : "", false)),
                  QString::fromStdString(BytesToShownText(text ? text : "", true)),
                  QMessageBox::Yes | QMessageBox::No, FindMainWindow(owner));
  box.setTextFormat(Qt::PlainText);
  // The form's labels, not the toolkit's translation.
  const auto label = [](const char* bytes) {
    return WithoutShortcut(BytesToShownText(bytes ? bytes : "", false));
  };
  box.button(QMessageBox::Yes)->setText(label(yesLabel));
  box.button(QMessageBox::No)->setText(label(noLabel));
  return box.exec() == QMessageBox::Yes;
}

void QtWindowSystem::ShowError(WindowHandle owner, const char* text, const char* caption) {
  QMessageBox box(QMessageBox::Critical,
                  QString::fromStdString(BytesToShownText(caption ? caption : "", false)),
                  QString::fromStdString(BytesToShownText(text ? text : "", true)), QMessageBox::Ok,
                  FindMainWindow(owner));
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

// --- For the window tests -------------------------------------------------

WindowHandle QtWindowSystem::LastMainWindow() const { return lastMainWindow_; }

WindowHandle QtWindowSystem::ControlWithId(WindowHandle window, int id) const {
  for (const auto& [handle, record] : records_)
    if (record.parent == window && record.id == id) return handle;
  return nullptr;
}

QWidget* QtWindowSystem::WidgetOf(WindowHandle handle) const {
  const Record* record = Find(handle);
  return record == nullptr ? nullptr : record->widget;
}

}  // namespace tapsmith
