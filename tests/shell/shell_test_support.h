#pragma once
// Helpers for the editor's tests: files in a temporary folder, and answering the message
// boxes that commands open.

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QTimer>

namespace tallo::shell::testing {

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(path));
  }
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Presses button in the next message box that opens while this object lives, and keeps
// what the box said.
class MessageBoxAnswer {
 public:
  explicit MessageBoxAnswer(QMessageBox::StandardButton button) {
    QObject::connect(&timer_, &QTimer::timeout, [this, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      timer_.stop();
      text_ = box->text();
      ++count_;
      if (QAbstractButton* answer = box->button(button)) {
        answer->click();
      } else {
        box->reject();
      }
    });
    timer_.start(5);
  }

  // Answers another box the same way.
  void Rearm() { timer_.start(5); }

  int count() const { return count_; }
  QString text() const { return text_; }

 private:
  QTimer timer_;
  QString text_;
  int count_ = 0;
};

}  // namespace tallo::shell::testing
