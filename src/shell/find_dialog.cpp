#include "shell/find_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tallo::shell {

FindDialog::FindDialog(QPlainTextEdit* editor, QWidget* parent)
    : QDialog(parent),
      editor_(editor),
      find_what_(new QLineEdit(this)),
      replace_with_(new QLineEdit(this)),
      replace_label_(new QLabel(tr("Re&place with:"), this)),
      whole_word_(new QCheckBox(tr("Match &whole word only"), this)),
      match_case_(new QCheckBox(tr("Match &case"), this)),
      direction_(new QGroupBox(tr("Direction"), this)),
      up_(new QRadioButton(tr("&Up"), direction_)),
      replace_(new QPushButton(tr("&Replace"), this)),
      replace_all_(new QPushButton(tr("Replace &All"), this)),
      note_(new QLabel(this)) {
  note_->setObjectName(QStringLiteral("note"));
  auto* find_label = new QLabel(tr("Fi&nd what:"), this);
  find_label->setBuddy(find_what_);
  replace_label_->setBuddy(replace_with_);
  auto* down = new QRadioButton(tr("&Down"), direction_);
  down->setChecked(true);
  auto* direction_layout = new QHBoxLayout(direction_);
  direction_layout->addWidget(up_);
  direction_layout->addWidget(down);

  auto* find_next = new QPushButton(tr("&Find Next"), this);
  find_next->setDefault(true);
  auto* cancel = new QPushButton(tr("Cancel"), this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {find_next, replace_, replace_all_, cancel}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch();

  auto* options = new QHBoxLayout;
  options->addWidget(match_case_);
  options->addStretch();
  options->addWidget(direction_);
  auto* fields = new QFormLayout;
  fields->addRow(find_label, find_what_);
  fields->addRow(replace_label_, replace_with_);
  fields->addRow(whole_word_);
  fields->addRow(options);
  fields->addRow(note_);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  connect(find_next, &QPushButton::clicked, this, &FindDialog::OnFindNext);
  connect(replace_, &QPushButton::clicked, this, &FindDialog::OnReplace);
  connect(replace_all_, &QPushButton::clicked, this, &FindDialog::OnReplaceAll);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(find_what_, &QLineEdit::textChanged, this, [find_next, this](const QString& text) {
    for (QPushButton* button : {find_next, replace_, replace_all_}) {
      button->setEnabled(!text.isEmpty());
    }
  });
  find_next->setEnabled(false);
  replace_->setEnabled(false);
  replace_all_->setEnabled(false);
}

void FindDialog::ShowFind() { ShowMode(false); }

void FindDialog::ShowReplace() { ShowMode(true); }

void FindDialog::ShowMode(bool replace) {
  replacing_ = replace;
  setWindowTitle(replace ? tr("Replace") : tr("Find"));
  const QList<QWidget*> replace_parts = {replace_label_, replace_with_, replace_, replace_all_};
  for (QWidget* part : replace_parts) part->setVisible(replace);
  // Replacing goes forward through the text, as Replace All does.
  direction_->setVisible(!replace);
  const QString selected = editor_->textCursor().selectedText();
  if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) {
    find_what_->setText(selected);
  }
  note_->clear();
  adjustSize();
  show();
  raise();
  activateWindow();
  find_what_->setFocus();
  find_what_->selectAll();
}

void FindDialog::FindAgain(bool reverse) {
  if (find_what_->text().isEmpty()) {
    ShowFind();
    return;
  }
  SearchOptions options = Options();
  options.backward = options.backward != reverse;
  Report(FindNext(*editor_, options), options.backward);
}

SearchOptions FindDialog::Options() const {
  SearchOptions options;
  options.text = find_what_->text();
  options.match_case = match_case_->isChecked();
  options.whole_word = whole_word_->isChecked();
  options.backward = !replacing_ && up_->isChecked();
  return options;
}

void FindDialog::OnFindNext() { Report(FindNext(*editor_, Options()), Options().backward); }

void FindDialog::OnReplace() {
  Report(ReplaceNext(*editor_, Options(), replace_with_->text()), false);
}

void FindDialog::OnReplaceAll() {
  const int count = ReplaceAll(*editor_, Options(), replace_with_->text());
  if (count == 0) {
    Report(Found::kNone, false);
  } else {
    Note(count == 1 ? tr("Replaced 1 occurrence.") : tr("Replaced %1 occurrences.").arg(count));
  }
}

void FindDialog::Report(Found found, bool backward) {
  switch (found) {
    case Found::kNone:
      note_->clear();
      QMessageBox::information(isVisible() ? static_cast<QWidget*>(this) : parentWidget(),
                               QStringLiteral("Tallo"),
                               tr("Cannot find \"%1\".").arg(find_what_->text()));
      break;
    case Found::kRoundTheEnd:
      Note(backward ? tr("Passed the start of the text and went on from its end.")
                    : tr("Passed the end of the text and went on from its start."));
      break;
    case Found::kAhead:
      note_->clear();
      break;
  }
}

void FindDialog::Note(const QString& note) {
  note_->setText(note);
  emit Noted(note);
}

}  // namespace tallo::shell
