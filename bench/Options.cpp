// SPDX-License-Identifier: GPL-3.0-or-later
#include "Options.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace vashtem::bench {

namespace {

constexpr const char *Usage =
    "usage: vashtem_bench [--shape mixed|flat|deep|small] [--cold] [--files N] [--folders M]\n"
    "                     [--searches-only] [--runs K] [--share PERCENT] [--dir PATH] [--keep]\n"
    "                     [--quick]\n"
    "  --shape S       mixed: 1000000 files in 20000 folders (the default); flat: 1000000\n"
    "                  files in one folder; deep: a chain 2000 folders deep, 50 files each;\n"
    "                  small: 200000 files in 4000 folders. All but mixed time these only\n"
    "  --cold          drop the page cache before every timed search (root only); searches only\n"
    "  --searches-only time the search of every file, Select all and Clear selection alone,\n"
    "                  on the mixed tree too\n"
    "  --files N       regular files in the tree (default 1000000)\n"
    "  --folders M     folders in the tree, its root included (default 20000)\n"
    "  --runs K        timed runs of every step (default 5)\n"
    "  --share PERCENT rows deleted by \"delete selected\" (default 10)\n"
    "  --dir PATH      work folder; the tree goes to PATH/tree (default /tmp/vashtem-bench)\n"
    "  --keep          reuse a tree built with the same parameters, and keep it\n"
    "  --quick         2000 files in 50 folders, one run, goals not enforced\n";

[[noreturn]] void usage(int status)
{
    std::fputs(Usage, status == 0 ? stdout : stderr);
    std::exit(status);
}

// The sizes each shape stands for; --files and --folders override them.
TreeShape shapeNamed(std::string_view name)
{
    if (name == "mixed")
        return {1'000'000, 20'000, false};
    if (name == "flat")
        return {1'000'000, 1, false};
    if (name == "deep")
        return {100'000, 2'000, true};
    if (name == "small")
        return {200'000, 4'000, false};
    usage(2);
}

long number(const char *text, long least)
{
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < least)
        usage(2);
    return value;
}

} // namespace

Options parseOptions(int argc, char **argv)
{
    Options options;
    std::optional<long> files, folders, runs;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help") {
            usage(0);
        } else if (arg == "--keep") {
            options.keep = true;
        } else if (arg == "--quick") {
            options.quick = true;
        } else if (arg == "--cold") {
            options.cold = true;
        } else if (arg == "--searches-only") {
            options.searchesOnly = true;
        } else if (arg == "--shape" && hasValue) {
            options.shapeName = argv[++i];
            options.shape = shapeNamed(options.shapeName);
        } else if (arg == "--rss-probe") {
            options.mode = Options::Mode::RssProbe;
        } else if (arg == "--startup-probe") {
            options.mode = Options::Mode::StartupProbe;
        } else if (arg == "--files" && hasValue) {
            files = number(argv[++i], 1);
        } else if (arg == "--folders" && hasValue) {
            folders = number(argv[++i], 1);
        } else if (arg == "--runs" && hasValue) {
            runs = number(argv[++i], 1);
        } else if (arg == "--share" && hasValue) {
            options.sharePercent = double(number(argv[++i], 1));
            if (options.sharePercent > 100)
                usage(2);
        } else if (arg == "--dir" && hasValue) {
            options.workFolder = argv[++i];
        } else {
            usage(2);
        }
    }
    options.shape.files = files.value_or(options.quick ? 2000 : options.shape.files);
    options.shape.folders = folders.value_or(options.quick ? 50 : options.shape.folders);
    options.runs = int(runs.value_or(options.quick ? 1 : options.runs));
    // Deletions and the other commands are timed on the mixed tree, warm; the other shapes and
    // cold caches are about the search alone.
    options.searchesOnly = options.searchesOnly || options.cold || options.shapeName != "mixed";
    return options;
}

} // namespace vashtem::bench
