#include "shell/dropped_files.h"

#include <QMimeData>
#include <QUrl>

namespace tallo::shell {

QStringList DroppedFiles(const QMimeData* data) {
  QStringList paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths.append(url.toLocalFile());
  }
  return paths;
}

}  // namespace tallo::shell
