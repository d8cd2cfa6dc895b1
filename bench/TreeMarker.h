// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Tree.h"

#include <optional>

namespace vashtem::bench {

// The facts of the tree in the work folder, when its marker names the same shape.
std::optional<TreeFacts> readMarker(const std::string &workFolder, const TreeShape &shape);
void writeMarker(const std::string &workFolder, const TreeShape &shape, const TreeFacts &facts);
void removeMarker(const std::string &workFolder);

} // namespace vashtem::bench
