#pragma once
// Print..., Print Preview and Print Setup... for the editor's text. One printer object keeps
// the choices of Print Setup for the prints that follow.

#include <QObject>
#include <QPrinter>

class QPlainTextEdit;
class QWidget;

namespace tallo::shell {

class CTalloView;

class PrintCommands : public QObject {
  Q_OBJECT

 public:
  // Margins of a printer nobody has set up yet.
  static constexpr qreal kDefaultMarginMillimetres = 20;

  // view is printed; window parents the dialogs. Both must outlive this object.
  PrintCommands(CTalloView* view, QWidget* window);

  QPrinter* printer() { return &printer_; }

  // Prints the text in the view's font, wrapped to the width between the page's margins, its
  // columns lined up as the view shows them; only the selection when the printer's range says
  // so.
  void PrintText(QPrinter* printer) const;

 public slots:
  void OnPrint();
  void OnPrintPreview();
  void OnPrintSetup();

 private:
  CTalloView* view_;
  QWidget* window_;
  QPrinter printer_;
};

}  // namespace tallo::shell
