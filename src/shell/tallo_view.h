#pragma once
// The view: a word-wrapping plain-text editor over the document's text, and the home of the
// two commands of this application, Do Calculation and Format of Functions.

#include <QPlainTextEdit>
#include <QStringList>

namespace tallo::shell {

class CTalloView : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CTalloView(QWidget* parent = nullptr);

 public slots:
  // Calculates the worksheet and writes the answers into the text as one undoable edit;
  // the caret and the visible lines stay with the text they were at. The document counts
  // as modified afterwards even when nothing was inserted.
  void OnDoCalculation();
  // Shows the list of operators, functions and statements.
  void OnFormatOfFunctions();

 signals:
  // Files were dropped onto the view; they are opened, not pasted as text.
  void FilesDropped(const QStringList& paths);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace tallo::shell
