#pragma once
// Dialog sizes given in dialog units: a quarter of the average character width across and
// an eighth of the character height down, so that a dialog grows with its font.

#include <QFontMetrics>
#include <QSize>

namespace tallo::shell {

inline QSize DialogUnitsToPixels(const QFontMetrics& metrics, QSize units) {
  return {units.width() * metrics.averageCharWidth() / 4, units.height() * metrics.height() / 8};
}

}  // namespace tallo::shell
