#pragma once
// Replacing a file so that it holds either its old bytes or all of the new ones, whatever happens
// meanwhile: the new bytes go into a temporary file beside it, which then takes the file's place.

#include <QByteArray>
#include <QString>

namespace tallo::shell {

// Replaces the file at path by bytes (creating it when missing, keeping its permissions). False,
// with the reason in error, when that failed; the file is then untouched and no temporary file is
// left.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace tallo::shell
