#include "shell/lock_keys.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>

namespace tallo::shell {
namespace {

QLabel* AddPane(QStatusBar* status_bar, const QString& text) {
  auto* pane = new QLabel(text, status_bar);
  pane->setObjectName(text);
  pane->setAlignment(Qt::AlignCenter);
  status_bar->addPermanentWidget(pane);
  return pane;
}

}  // namespace

LockKeyPanes::LockKeyPanes(QStatusBar* status_bar)
    : QObject(status_bar),
      caps_(AddPane(status_bar, QStringLiteral("CAP"))),
      num_(AddPane(status_bar, QStringLiteral("NUM"))),
      scroll_(AddPane(status_bar, QStringLiteral("SCRL"))) {
  qApp->installEventFilter(this);
  Show(QueryLockKeys());
}

void LockKeyPanes::Show(const std::optional<LockKeys>& keys) {
  const LockKeys on = keys.value_or(LockKeys{});
  caps_->setEnabled(on.caps);
  num_->setEnabled(on.num);
  scroll_->setEnabled(on.scroll);
}

bool LockKeyPanes::eventFilter(QObject* watched, QEvent* event) {
  // A key event reaches its window first and then its widgets: count it once.
  const bool key_released = event->type() == QEvent::KeyRelease && watched->isWindowType();
  if (key_released || event->type() == QEvent::ApplicationActivate) {
    Show(QueryLockKeys());
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tallo::shell
