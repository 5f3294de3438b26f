#include "shell/atomic_write.h"

#include <QSaveFile>

namespace tallo::shell {

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
  QSaveFile file(path);
  // Unbuffered: QSaveFile (Qt 6.4) does not notice a write that fails while commit() flushes its
  // buffer, and then puts the cut-short file in place of the old one. Written straight through, a
  // failure shows at the write that meets it.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    *error = file.errorString();
    return false;
  }
  // A write may take fewer bytes than given without an error (a file-size limit or a full disk
  // reached at that point); the next write then fails and tells why.
  for (qsizetype done = 0; done < bytes.size();) {
    const qint64 count = file.write(bytes.constData() + done, bytes.size() - done);
    if (count <= 0) {
      *error = file.errorString();
      file.cancelWriting();
      return false;
    }
    done += count;
  }
  if (!file.commit()) {
    *error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace tallo::shell
