#pragma once
// The about box: the application icon and version.

#include <QDialog>

namespace tallo::shell {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace tallo::shell
