// Find and replace over the editor's text.

#include "shell/text_search.h"

#include <QPlainTextEdit>
#include <QTest>

using namespace tallo::shell;

class TextSearchTest : public QObject {
  Q_OBJECT

 private slots:
  // Each search starts from the caret in "mean(a)= Mean(b)= meant(c)= mean(d)=", where "mean"
  // stands at 0, 9 (as "Mean"), 18 (in "meant") and 28.
  void FindNextSelectsTheNextMatch_data();
  void FindNextSelectsTheNextMatch();
  // Replace changes only a selected match; Replace All is one undoable edit, and does not
  // replace again what it put in.
  void ReplaceChangesMatchesOnly();
};

void TextSearchTest::FindNextSelectsTheNextMatch_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("caret");
  QTest::addColumn<int>("options");  // 1 match case, 2 whole word, 4 backward
  QTest::addColumn<int>("start");    // of the selected match, -1 for none
  QTest::addColumn<int>("found");    // Found
  QTest::newRow("any case") << "mean" << 1 << 0 << 9 << int(Found::kAhead);
  QTest::newRow("match case") << "mean" << 1 << 1 << 18 << int(Found::kAhead);
  QTest::newRow("whole word, any case") << "mean" << 10 << 2 << 28 << int(Found::kAhead);
  QTest::newRow("whole word, match case") << "mean" << 1 << 3 << 28 << int(Found::kAhead);
  QTest::newRow("backward") << "mean" << 27 << 4 << 18 << int(Found::kAhead);
  QTest::newRow("backward, whole word") << "mean" << 27 << 6 << 9 << int(Found::kAhead);
  QTest::newRow("round the end") << "mean(a)" << 30 << 0 << 0 << int(Found::kRoundTheEnd);
  QTest::newRow("round the start") << "mean(d)" << 2 << 4 << 28 << int(Found::kRoundTheEnd);
  QTest::newRow("nowhere") << "median" << 5 << 0 << -1 << int(Found::kNone);
  QTest::newRow("nothing to find") << "" << 5 << 0 << -1 << int(Found::kNone);
}

void TextSearchTest::FindNextSelectsTheNextMatch() {
  QFETCH(QString, text);
  QFETCH(int, caret);
  QFETCH(int, options);
  QFETCH(int, start);
  QFETCH(int, found);
  QPlainTextEdit editor(QStringLiteral("mean(a)= Mean(b)= meant(c)= mean(d)="));
  QTextCursor cursor = editor.textCursor();
  cursor.setPosition(caret);
  editor.setTextCursor(cursor);
  const SearchOptions search{text, (options & 1) != 0, (options & 2) != 0, (options & 4) != 0};
  QCOMPARE(int(FindNext(editor, search)), found);
  QCOMPARE(editor.textCursor().selectionStart(), start < 0 ? caret : start);
  QCOMPARE(editor.textCursor().selectionEnd(), start < 0 ? caret : start + text.size());
}

void TextSearchTest::ReplaceChangesMatchesOnly() {
  const QString before = QStringLiteral("mean(a)= Mean(b)= meant(c)= mean(d)=");
  QPlainTextEdit editor(before);
  const SearchOptions mean{QStringLiteral("mean"), true, true, false};
  QTextCursor cursor = editor.textCursor();
  cursor.setPosition(1);  // nothing selected: the first Replace only finds
  editor.setTextCursor(cursor);
  QCOMPARE(ReplaceNext(editor, mean, QStringLiteral("sd")), Found::kAhead);
  QCOMPARE(editor.toPlainText(), before);
  QCOMPARE(editor.textCursor().selectionStart(), 28);
  QCOMPARE(ReplaceNext(editor, mean, QStringLiteral("sd")), Found::kRoundTheEnd);
  QCOMPARE(editor.toPlainText(), QStringLiteral("mean(a)= Mean(b)= meant(c)= sd(d)="));
  QCOMPARE(editor.textCursor().selectionStart(), 0);
  editor.setPlainText(before);
  QCOMPARE(ReplaceAll(editor, {QStringLiteral("mean")}, QStringLiteral("sd")), 4);
  QCOMPARE(editor.toPlainText(), QStringLiteral("sd(a)= sd(b)= sdt(c)= sd(d)="));
  editor.undo();
  QCOMPARE(editor.toPlainText(), before);
  QCOMPARE(ReplaceAll(editor, {QStringLiteral("mean"), true}, QStringLiteral("meanmean")), 3);
  QCOMPARE(editor.toPlainText(),
           QStringLiteral("meanmean(a)= Mean(b)= meanmeant(c)= meanmean(d)="));
  QCOMPARE(ReplaceAll(editor, {}, QStringLiteral("x")), 0);
  QCOMPARE(ReplaceNext(editor, {}, QStringLiteral("x")), Found::kNone);
}

QTEST_MAIN(TextSearchTest)
#include "text_search_test.moc"
