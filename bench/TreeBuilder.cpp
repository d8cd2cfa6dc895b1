// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the bench tree from its recipe, folders first, then files on every core.
#include "Tree.h"

#include "Fatal.h"
#include "Subprocess.h"
#include "TreeMarker.h"
#include "TreeRecipe.h"

#include <filesystem>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vashtem::bench {

namespace {

// Opens a folder whose path may be longer than the system takes in one call (a deep
// chain), a few thousand bytes at a time.
int openFolder(const std::string &path)
{
    constexpr size_t Piece = 3000;
    int fd = ::open(path.starts_with('/') ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    size_t start = 0;
    while (fd >= 0 && start < path.size()) {
        size_t end = path.size();
        if (end - start > Piece) {
            end = path.rfind('/', start + Piece);
            if (end == std::string::npos || end <= start)
                fatal("a folder name too long in " + path);
        }
        const std::string piece = "./" + path.substr(start, end - start);
        const int next = ::openat(fd, piece.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
        start = end + 1;
    }
    if (fd < 0)
        fatalErrno("cannot open " + path.substr(0, 200));
    return fd;
}

std::vector<std::string> makeFolders(const std::string &root, const TreeShape &shape, TreeFacts &facts)
{
    std::vector<std::string> paths(static_cast<size_t>(shape.folders));
    paths[0] = root;
    if (::mkdir(root.c_str(), 0755) != 0)
        fatalErrno("cannot make " + root);
    for (long index = 1; index < shape.folders; ++index) {
        const std::string &parent = paths[size_t(parentFolder(index, shape.chain))];
        const std::string name = folderName(index);
        paths[size_t(index)] = parent + '/' + name;
        const int parentFd = openFolder(parent);
        if (::mkdirat(parentFd, name.c_str(), 0755) != 0)
            fatalErrno("cannot make " + name);
        if (index % LoopLinkEvery == 1) {
            if (::symlinkat("..", parentFd, (name + '/' + LoopLinkName).c_str()) != 0)
                fatalErrno("cannot link in " + name);
            ++facts.loopLinks;
        }
        ::close(parentFd);
    }
    return paths;
}

void makeFile(int folderFd, const std::string &folder, long index, TreeFacts &facts)
{
    const FileRecipe recipe = fileRecipe(index);
    const int fd = ::openat(folderFd, recipe.name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fatalErrno("cannot create " + folder + '/' + recipe.name);
    if (recipe.size > 0 && ::ftruncate(fd, recipe.size) != 0)
        fatalErrno("cannot size " + folder + '/' + recipe.name);
    ::close(fd);
    if (recipe.linked) {
        if (::symlinkat(recipe.name.c_str(), folderFd, linkName(index).c_str()) != 0)
            fatalErrno("cannot link to " + folder + '/' + recipe.name);
        ++facts.fileLinks;
    }
    if (recipe.hidden) {
        ++facts.hiddenFiles;
        return;
    }
    ++facts.visibleFiles;
    facts.visibleNameBytes += (long long)recipe.name.size();
    if (recipe.selective)
        ++facts.selectiveFiles;
}

// Fills every folder whose index leaves `part` when divided by `parts`.
void makeFiles(const std::vector<std::string> &folders, long files, long part, long parts, TreeFacts &facts)
{
    const long folderCount = long(folders.size());
    for (long folder = part; folder < folderCount; folder += parts) {
        const int folderFd = openFolder(folders[size_t(folder)]);
        for (long index = folder; index < files; index += folderCount)
            makeFile(folderFd, folders[size_t(folder)], index, facts);
        ::close(folderFd);
    }
}

void add(TreeFacts &total, const TreeFacts &part)
{
    total.visibleFiles += part.visibleFiles;
    total.hiddenFiles += part.hiddenFiles;
    total.selectiveFiles += part.selectiveFiles;
    total.fileLinks += part.fileLinks;
    total.loopLinks += part.loopLinks;
    total.visibleNameBytes += part.visibleNameBytes;
}

TreeFacts build(const std::string &root, const TreeShape &shape)
{
    TreeFacts facts;
    const std::vector<std::string> folders = makeFolders(root, shape, facts);
    const long parts = long(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<TreeFacts> partFacts(static_cast<size_t>(parts));
    std::vector<std::thread> workers;
    for (long part = 0; part < parts; ++part)
        workers.emplace_back(makeFiles, std::cref(folders), shape.files, part, parts, std::ref(partFacts[size_t(part)]));
    for (std::thread &worker : workers)
        worker.join();
    for (const TreeFacts &part : partFacts)
        add(facts, part);
    return facts;
}

} // namespace

Tree prepareTree(const std::string &workFolder, const TreeShape &shape, bool reuse)
{
    Tree tree{workFolder, workFolder + "/tree", shape, {}};
    if (reuse) {
        if (const std::optional<TreeFacts> facts = readMarker(workFolder, shape)) {
            tree.facts = *facts;
            return tree;
        }
    }
    std::error_code error;
    std::filesystem::create_directories(workFolder, error);
    if (error)
        fatal("cannot make " + workFolder + ": " + error.message());
    removeTree(tree);
    tree.facts = build(tree.root, shape);
    writeMarker(workFolder, shape, tree.facts);
    return tree;
}

void removeTree(const Tree &tree)
{
    removeMarker(tree.workFolder);
    // rm, unlike remove_all, goes below the longest path a system call takes.
    if (runToEnd({"rm", "-rf", "--", tree.root}) != 0)
        fatal("cannot remove " + tree.root);
}

} // namespace vashtem::bench
