// Find and replace over the editor's text.

#include "shell/text_search.h"

#include <QPlainTextEdit>
#include <QTest>

using tallo::shell::FindNext;
using tallo::shell::ReplaceAll;
using tallo::shell::ReplaceNext;
using tallo::shell::SearchOptions;

class TextSearchTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  // Each search starts from the caret in "mean(a)= Mean(b)= meant(c)= mean(d)=".
  void FindNextSelectsTheNextMatch_data();
  void FindNextSelectsTheNextMatch();
  void FindNextGoesRoundTheEndOnce();
  void ReplaceChangesOnlyASelectedMatch();
  void ReplaceAllIsOneUndoableEdit();
  void ReplacementContainingTheTextIsNotReplacedAgain();
  void EmptySearchFindsNothing();

 private:
  void Place(int position) {
    QTextCursor cursor = editor_->textCursor();
    cursor.setPosition(position);
    editor_->setTextCursor(cursor);
  }
  std::unique_ptr<QPlainTextEdit> editor_;
};

void TextSearchTest::init() {
  editor_ = std::make_unique<QPlainTextEdit>();
  editor_->setPlainText(QStringLiteral("mean(a)= Mean(b)= meant(c)= mean(d)="));
}

void TextSearchTest::FindNextSelectsTheNextMatch_data() {
  QTest::addColumn<int>("caret");
  QTest::addColumn<bool>("match_case");
  QTest::addColumn<bool>("whole_word");
  QTest::addColumn<bool>("backward");
  QTest::addColumn<int>("start");  // of the selected match
  // "mean" stands at 0, 9 (as "Mean"), 18 (in "meant") and 28.
  QTest::newRow("any case") << 1 << false << false << false << 9;
  QTest::newRow("match case") << 1 << true << false << false << 18;
  QTest::newRow("whole word, any case") << 10 << false << true << false << 28;
  QTest::newRow("whole word, match case") << 1 << true << true << false << 28;
  QTest::newRow("backward") << 27 << false << false << true << 18;
  QTest::newRow("backward, whole word") << 27 << false << true << true << 9;
}

void TextSearchTest::FindNextSelectsTheNextMatch() {
  QFETCH(int, caret);
  QFETCH(bool, match_case);
  QFETCH(bool, whole_word);
  QFETCH(bool, backward);
  QFETCH(int, start);
  Place(caret);
  QVERIFY(FindNext(*editor_, {QStringLiteral("mean"), match_case, whole_word, backward}));
  QCOMPARE(editor_->textCursor().selectionStart(), start);
  QCOMPARE(editor_->textCursor().selectionEnd(), start + 4);
}

void TextSearchTest::FindNextGoesRoundTheEndOnce() {
  Place(30);
  QVERIFY(FindNext(*editor_, {QStringLiteral("mean(a)")}));
  QCOMPARE(editor_->textCursor().selectionStart(), 0);
  Place(2);
  QVERIFY(FindNext(*editor_, {QStringLiteral("mean(d)"), false, false, true}));
  QCOMPARE(editor_->textCursor().selectionStart(), 28);
  Place(5);
  QVERIFY(!FindNext(*editor_, {QStringLiteral("median")}));
  QCOMPARE(editor_->textCursor().position(), 5);
}

void TextSearchTest::ReplaceChangesOnlyASelectedMatch() {
  const SearchOptions mean{QStringLiteral("mean"), true, true, false};
  Place(1);  // nothing selected: the first Replace only finds
  QVERIFY(ReplaceNext(*editor_, mean, QStringLiteral("sd")));
  QCOMPARE(editor_->toPlainText(), QStringLiteral("mean(a)= Mean(b)= meant(c)= mean(d)="));
  QCOMPARE(editor_->textCursor().selectionStart(), 28);
  QVERIFY(ReplaceNext(*editor_, mean, QStringLiteral("sd")));  // replaces, finds the first
  QCOMPARE(editor_->toPlainText(), QStringLiteral("mean(a)= Mean(b)= meant(c)= sd(d)="));
  QCOMPARE(editor_->textCursor().selectionStart(), 0);
}

void TextSearchTest::ReplaceAllIsOneUndoableEdit() {
  const QString before = editor_->toPlainText();
  QCOMPARE(ReplaceAll(*editor_, {QStringLiteral("mean")}, QStringLiteral("sd")), 4);
  QCOMPARE(editor_->toPlainText(), QStringLiteral("sd(a)= sd(b)= sdt(c)= sd(d)="));
  editor_->undo();
  QCOMPARE(editor_->toPlainText(), before);
  QCOMPARE(ReplaceAll(*editor_, {QStringLiteral("mean"), true, true}, QStringLiteral("sd")), 2);
  QCOMPARE(editor_->toPlainText(), QStringLiteral("sd(a)= Mean(b)= meant(c)= sd(d)="));
}

void TextSearchTest::ReplacementContainingTheTextIsNotReplacedAgain() {
  QCOMPARE(ReplaceAll(*editor_, {QStringLiteral("mean"), true}, QStringLiteral("meanmean")), 3);
  QCOMPARE(editor_->toPlainText(),
           QStringLiteral("meanmean(a)= Mean(b)= meanmeant(c)= meanmean(d)="));
}

void TextSearchTest::EmptySearchFindsNothing() {
  QVERIFY(!FindNext(*editor_, {}));
  QCOMPARE(ReplaceAll(*editor_, {}, QStringLiteral("x")), 0);
  QCOMPARE(editor_->toPlainText(), QStringLiteral("mean(a)= Mean(b)= meant(c)= mean(d)="));
}

QTEST_MAIN(TextSearchTest)
#include "text_search_test.moc"
