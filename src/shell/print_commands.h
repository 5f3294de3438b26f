#pragma once
// Print..., Print Preview and Print Setup... for the editor's text. One printer object keeps
// the choices of Print Setup for the prints that follow.

#include <QObject>
#include <QPrinter>

class QPlainTextEdit;
class QWidget;

namespace tallo::shell {

class PrintCommands : public QObject {
  Q_OBJECT

 public:
  // view is printed; window parents the dialogs. Both must outlive this object.
  PrintCommands(QPlainTextEdit* view, QWidget* window);

  // Prints the text in the view's font, wrapped to the page width; only the selection when
  // the printer's range says so.
  void PrintText(QPrinter* printer) const;

 public slots:
  void OnPrint();
  void OnPrintPreview();
  void OnPrintSetup();

 private:
  QPlainTextEdit* view_;
  QWidget* window_;
  QPrinter printer_;
};

}  // namespace tallo::shell
