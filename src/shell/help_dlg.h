#pragma once
// "Format of Functions": the list of operators, functions and statements, read-only.

#include <QDialog>

namespace tallo::shell {

class HelpDlg : public QDialog {
  Q_OBJECT

 public:
  explicit HelpDlg(QWidget* parent = nullptr);
};

}  // namespace tallo::shell
