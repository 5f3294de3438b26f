#pragma once
// The Find and Replace dialog: modeless, over the editor, in one of two modes.

#include <QDialog>

#include "shell/text_search.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tallo::shell {

class FindDialog : public QDialog {
  Q_OBJECT

 public:
  FindDialog(QPlainTextEdit* editor, QWidget* parent);

  // Shows the dialog for finding only, or for replacing too, with the selected text (when
  // it is on one line) as the text to find.
  void ShowFind();
  void ShowReplace();

  // Find Next with the last text and options, the other way when reverse; opens the
  // dialog when nothing was searched yet.
  void FindAgain(bool reverse);

 signals:
  // A search went round the end of the text, or Replace All replaced; the dialog shows it too.
  void Noted(const QString& note);

 private:
  void ShowMode(bool replace);
  SearchOptions Options() const;
  void OnFindNext();
  void OnReplace();
  void OnReplaceAll();
  // Tells how a search ended: the note when it went round the end, a message when nothing was
  // found.
  void Report(Found found, bool backward);
  void Note(const QString& note);

  QPlainTextEdit* editor_;
  QLineEdit* find_what_;
  QLineEdit* replace_with_;
  QLabel* replace_label_;
  QCheckBox* whole_word_;
  QCheckBox* match_case_;
  QWidget* direction_;
  QRadioButton* up_;
  QPushButton* replace_;
  QPushButton* replace_all_;
  QLabel* note_;
  bool replacing_ = false;
};

}  // namespace tallo::shell
