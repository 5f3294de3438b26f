#pragma once
// What the status bar shows while a calculation takes longer than half a second: that it is
// working, and a Cancel button (Esc).

#include <QTimer>
#include <QWidget>

class QStatusBar;

namespace tallo::shell {

class CTalloView;

class CalculationIndicator : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kDelayMilliseconds = 500;

  // Watches the calculations of view; lives in status_bar.
  CalculationIndicator(CTalloView* view, QStatusBar* status_bar);

 private:
  QTimer delay_;
};

}  // namespace tallo::shell
