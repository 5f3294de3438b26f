#pragma once
// The CAP, NUM and SCRL panes of the status bar: lit while the lock key is on, dimmed while
// it is off or where the windowing system does not tell.

#include <QObject>
#include <optional>

class QLabel;
class QStatusBar;

namespace tallo::shell {

struct LockKeys {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

// The state of the lock keys; nothing where the windowing system does not tell it (it does
// on X11).
std::optional<LockKeys> QueryLockKeys();

class LockKeyPanes : public QObject {
  Q_OBJECT

 public:
  // Adds the three panes to the right of the status bar.
  explicit LockKeyPanes(QStatusBar* status_bar);

  // Lights the panes of the keys that are on.
  void Show(const std::optional<LockKeys>& keys);

 protected:
  // Reads the keys again after every key release and whenever the application is
  // activated, since they may have been toggled in another window.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* caps_;
  QLabel* num_;
  QLabel* scroll_;
};

}  // namespace tallo::shell
