// Check boxes and radio buttons whose mark only the program sets: a click, by
// the mouse or the space key, reports itself and leaves the mark alone
// (BS_CHECKBOX and BS_RADIOBUTTON rather than their automatic kinds). As
// with the native controls, the whole rectangle takes the click, not only the
// box and its text.
#pragma once

#include <QCheckBox>
#include <QRadioButton>

namespace tapsmith {

class PlainCheckBox final : public QCheckBox {
 public:
  explicit PlainCheckBox(QWidget* parent) : QCheckBox(parent) {}

 protected:
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

class PlainRadioButton final : public QRadioButton {
 public:
  explicit PlainRadioButton(QWidget* parent) : QRadioButton(parent) {
    // Siblings must not clear each other's marks either.
    setAutoExclusive(false);
  }

 protected:
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace tapsmith
