// SPDX-License-Identifier: GPL-3.0-or-later
// The parameters file that tells a whole tree from a missing or broken one.
#include "TreeMarker.h"

#include "Fatal.h"

#include <cstdio>
#include <fstream>

namespace vashtem::bench {

namespace {

constexpr const char *MarkerTag = "vashtem-bench-tree 2";

std::string markerPath(const std::string &workFolder)
{
    return workFolder + "/tree.params";
}

} // namespace

std::optional<TreeFacts> readMarker(const std::string &workFolder, const TreeShape &shape)
{
    std::ifstream in(markerPath(workFolder));
    std::string tag;
    if (!std::getline(in, tag) || tag != MarkerTag)
        return std::nullopt;
    TreeShape found;
    TreeFacts facts;
    std::string key;
    in >> key >> found.files >> key >> found.folders >> key >> found.chain >> key >> facts.visibleFiles >> key
        >> facts.hiddenFiles >> key >> facts.selectiveFiles >> key >> facts.fileLinks >> key >> facts.loopLinks
        >> key >> facts.visibleNameBytes;
    if (!in || found.files != shape.files || found.folders != shape.folders || found.chain != shape.chain)
        return std::nullopt;
    return facts;
}

void writeMarker(const std::string &workFolder, const TreeShape &shape, const TreeFacts &facts)
{
    std::ofstream out(markerPath(workFolder), std::ios::trunc);
    out << MarkerTag << "\nfiles " << shape.files << "\nfolders " << shape.folders << "\nchain " << shape.chain
        << "\nvisible "
        << facts.visibleFiles << "\nhidden " << facts.hiddenFiles << "\nselective " << facts.selectiveFiles
        << "\nfile-links " << facts.fileLinks << "\nloop-links " << facts.loopLinks << "\nname-bytes "
        << facts.visibleNameBytes << '\n';
    if (!out.flush())
        fatal("cannot write " + markerPath(workFolder));
}

void removeMarker(const std::string &workFolder)
{
    std::remove(markerPath(workFolder).c_str());
}

void markTreeChanging(const Tree &tree)
{
    removeMarker(tree.workFolder);
}

void markTreeWhole(const Tree &tree)
{
    writeMarker(tree.workFolder, tree.shape, tree.facts);
}

} // namespace vashtem::bench
