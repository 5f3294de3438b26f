#pragma once
// The status bar's panes about the document: where the caret is, and what kind of file the text
// is kept as (its line ends and encoding, which saving keeps).

#include <QObject>
#include <QString>

#include "shell/text_file.h"

class QLabel;
class QStatusBar;

namespace tallo::shell {

class CTalloDoc;
class CTalloView;

// "CR LF", "LF" or "CR".
QString LineEndName(LineEnd line_end);
// "UTF-8", "UTF-8 with BOM" or "Windows-1252".
QString EncodingName(const TextFormat& format);

class DocumentPanes : public QObject {
  Q_OBJECT

 public:
  // Adds the three panes to the right of status_bar and keeps them up to date.
  DocumentPanes(CTalloView* view, CTalloDoc* doc, QStatusBar* status_bar);

 private:
  void ShowFormat();

  CTalloDoc* doc_;
  QLabel* caret_;
  QLabel* line_end_;
  QLabel* encoding_;
};

}  // namespace tallo::shell
