// Builds the bench tree from its recipe, folders first, then files on every core.
#include "Tree.h"

#include "Fatal.h"
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

std::vector<std::string> makeFolders(const std::string &root, long count, TreeFacts &facts)
{
    std::vector<std::string> paths(static_cast<size_t>(count));
    paths[0] = root;
    if (::mkdir(root.c_str(), 0755) != 0)
        fatalErrno("cannot make " + root);
    for (long index = 1; index < count; ++index) {
        paths[size_t(index)] = paths[size_t(parentFolder(index))] + '/' + folderName(index);
        if (::mkdir(paths[size_t(index)].c_str(), 0755) != 0)
            fatalErrno("cannot make " + paths[size_t(index)]);
        if (index % LoopLinkEvery == 1) {
            if (::symlink("..", (paths[size_t(index)] + '/' + LoopLinkName).c_str()) != 0)
                fatalErrno("cannot link in " + paths[size_t(index)]);
            ++facts.loopLinks;
        }
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
        const int folderFd = ::open(folders[size_t(folder)].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd < 0)
            fatalErrno("cannot open " + folders[size_t(folder)]);
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
    const std::vector<std::string> folders = makeFolders(root, shape.folders, facts);
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
    std::error_code error;
    std::filesystem::remove_all(tree.root, error);
    if (error)
        fatal("cannot remove " + tree.root + ": " + error.message());
}

} // namespace vashtem::bench
