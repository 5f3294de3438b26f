#pragma once
// Files dragged from a file manager, as opposed to text dragged within or between editors.

#include <QStringList>

class QMimeData;

namespace tallo::shell {

// The local files a drag carries; empty for anything else.
QStringList DroppedFiles(const QMimeData* data);

}  // namespace tallo::shell
