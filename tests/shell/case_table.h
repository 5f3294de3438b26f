#pragma once
// Case tables: TAB-separated rows in tests/shell/data, "#" lines are comments. Fields use C-like
// escapes: \n \r \t \0 \\, \xNN (a byte, or in text a Latin-1 character), \uXXXX and \UXXXXXXXX.

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace tallo::shell::testing {

// The rows of the table name, each of columns fields.
inline QList<QStringList> ReadCaseTable(const QString& name, qsizetype columns) {
  QFile file(QStringLiteral(TALLO_SHELL_TEST_DATA "/") + name);
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(file.fileName()));
  QList<QStringList> rows;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.isEmpty() || line.startsWith('#')) continue;
    rows.append(QString::fromUtf8(line).split(u'\t'));
    if (rows.last().size() != columns)
      qFatal("%s: a row without %lld fields", qPrintable(name), columns);
  }
  return rows;
}

// The characters a field stands for.
inline QString Unescape(const QString& field) {
  QString text;
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (field[i] != u'\\') {
      text += field[i];
      continue;
    }
    const QChar kind = field[++i];
    const int digits = kind == u'x' ? 2 : kind == u'u' ? 4 : kind == u'U' ? 8 : 0;
    if (digits > 0) {
      text += QStringView(QChar::fromUcs4(field.mid(i + 1, digits).toUInt(nullptr, 16)));
      i += digits;
    } else {
      text += kind == u'n'   ? QChar(u'\n')
              : kind == u'r' ? QChar(u'\r')
              : kind == u't' ? QChar(u'\t')
              : kind == u'0' ? QChar(0)
                             : kind;
    }
  }
  return text;
}

// A field of bytes: written with \xNN for every byte beyond ASCII.
inline QByteArray UnescapeBytes(const QString& field) { return Unescape(field).toLatin1(); }

}  // namespace tallo::shell::testing
