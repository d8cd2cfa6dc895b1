#pragma once

#include <QByteArrayView>

namespace vashtem {

// The order of names in every listing and in the walk: names decoded from UTF-8
// (invalid bytes as replacement characters) are compared code point by code point after
// Unicode simple case folding, as QString::compare with Qt::CaseInsensitive folds;
// names equal that way are ordered by their raw bytes.
bool nameLess(QByteArrayView a, QByteArrayView b);

} // namespace vashtem
