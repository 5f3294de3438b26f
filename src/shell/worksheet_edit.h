#pragma once
// Writes the engine's answers into a QTextDocument.

#include <QByteArray>
#include <vector>

#include "engine/insertions.h"

class QTextDocument;

namespace tallo::shell {

// Inserts each answer at its place as one undoable edit. The insertions' offsets count bytes
// of utf8, the UTF-8 form of the document's text (DocumentText) that was calculated.
void ApplyAnswers(QTextDocument& document, const QByteArray& utf8,
                  const std::vector<Insertion>& insertions);

}  // namespace tallo::shell
