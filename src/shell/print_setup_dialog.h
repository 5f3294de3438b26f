#pragma once
// Print Setup: which printer, its paper and orientation, and the margins of the printout.

#include <QDialog>
#include <array>

class QComboBox;
class QDoubleSpinBox;
class QPrinter;

namespace tallo::shell {

class PrintSetupDialog : public QDialog {
  Q_OBJECT

 public:
  // Shows the choices printer holds now; OK gives it the new ones.
  PrintSetupDialog(QPrinter* printer, QWidget* parent);

  // Keeps the dialog open, with a warning, when the margins leave no room on the paper.
  void accept() override;

 private:
  // Lists the paper sizes of the chosen printer, keeping chosen when it has it (else the first).
  void ListPaperSizes(const QVariant& chosen);

  QPrinter* printer_;
  QComboBox* printer_name_;
  QComboBox* paper_;
  QComboBox* orientation_;
  std::array<QDoubleSpinBox*, 4> margins_{};  // left, top, right, bottom, in millimetres
};

}  // namespace tallo::shell
