#pragma once
// Writing a file so that a failure never leaves it half written.

#include <QByteArray>
#include <QString>

namespace tallo::shell {

// Replaces the file at path (through a symbolic link, its target) by bytes, creating it when
// missing. The new bytes go into a temporary file beside it, which then takes its place with its
// permissions (and, for root, its owner). Where the folder takes no new files, the file is written
// in place when it may be written: its old bytes are kept in memory until the new ones are
// read back whole, and put back when that fails. False, with the reason in error, when the file
// could not be written; it then holds its old bytes (error says so in the rare case that putting
// them back failed too).
bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error);

// Whether a file exists at path that is not to be written: it has no write permission for
// anyone (which root would otherwise overwrite without a word), or none for this user.
bool IsWriteProtected(const QString& path);

}  // namespace tallo::shell
