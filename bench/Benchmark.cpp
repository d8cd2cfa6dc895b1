// SPDX-License-Identifier: GPL-3.0-or-later
#include "Benchmark.h"

#include "BenchPlatform.h"
#include "Fatal.h"
#include "PageCache.h"
#include "Probes.h"
#include "Report.h"
#include "Responsiveness.h"
#include "Session.h"
#include "Stopwatch.h"

#include <cstdio>
#include <filesystem>

#include <unistd.h>

namespace vashtem::bench {

namespace {

Tree setUpTree(const Options &options)
{
    std::printf("tree: %ld files in %ld folders under %s/tree\n", options.shape.files, options.shape.folders,
                options.workFolder.c_str());
    std::fflush(stdout);
    const Stopwatch watch;
    Tree tree = prepareTree(options.workFolder, options.shape, options.keep);
    const TreeFacts &facts = tree.facts;
    std::printf("tree: ready in %.1f s; %ld listable, %ld hidden, %ld match *.txt;*.log, %ld file links, "
                "%ld loop links, %.1f bytes per name\n",
                watch.ms() / 1000, facts.visibleFiles, facts.hiddenFiles, facts.selectiveFiles, facts.fileLinks,
                facts.loopLinks, double(facts.visibleNameBytes) / double(std::max(1L, facts.visibleFiles)));
    std::fflush(stdout);
    return tree;
}

double medianStartup(const std::string &workingFolder, int runs)
{
    measureStartup(workingFolder); // the first start fills the font and plugin caches
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run)
        samples.push_back(measureStartup(workingFolder));
    return median(samples);
}

std::string thousands(long value)
{
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped.push_back(',');
        grouped.push_back(digits[i]);
    }
    return grouped;
}

// Ratios to find of the search of every file, one table row, like the README's.
void printSearchTable(const Options &options, const Samples &s, bool hasBfs)
{
    const double find = median(s.findAll);
    const auto cell = [find](const std::vector<double> &samples) {
        char text[64];
        std::snprintf(text, sizeof text, "%.2f (%.0f ms)", find > 0 ? median(samples) / find : 0, median(samples));
        return std::string(text);
    };
    const std::string files = thousands(options.shape.files) + " files";
    const std::string tree = options.shape.chain ? files + " in a chain " + thousands(options.shape.folders)
                                                       + " folders deep"
        : options.shape.folders == 1 ? files + " in one folder"
                                     : files + " in " + thousands(options.shape.folders) + " folders";
    std::printf("\n| tree | cache | program | find | bfs 4 | bfs 4 -j8 |\n|---|---|---|---|---|---|\n");
    std::printf("| %s | %s | %s | %s | %s | %s |\n\n", tree.c_str(), options.cold ? "cold" : "warm",
                cell(s.searchAll).c_str(), cell(s.findAll).c_str(), hasBfs ? cell(s.bfsAll).c_str() : "-",
                hasBfs ? cell(s.bfsWideAll).c_str() : "-");
}

// The search of every file against find, by shape and cache.
double searchGoal(const Options &options)
{
    if (options.shapeName == "flat")
        return options.cold ? 0.40 : 0.50;
    if (options.shapeName == "deep")
        return options.cold ? 0.50 : 0.60;
    if (options.shapeName == "small")
        return options.cold ? 0.40 : 0.60;
    return options.cold ? 0.35 : 0.50;
}

} // namespace

int runBenchmark(const Options &options)
{
    if (options.cold && !canDropPageCache()) {
        std::fprintf(stderr, "--cold drops the page cache, which only root may do; not run\n");
        return 2;
    }
    const Tree tree = setUpTree(options);
    if (::chdir(tree.root.c_str()) != 0)
        fatalErrno("cannot work in " + tree.root);
    BenchPlatform platform;
    const ReferenceRunner reference(tree.root, tree.workFolder);
    if (!reference.hasBfs())
        std::printf("bfs 4: not found at %s; left out\n", reference.bfsPath().c_str());
    Session session(platform.platform, tree, reference, {options.sharePercent, options.searchesOnly, options.cold});
    session.prepare();

    markTreeChanging(tree);
    for (int run = 0; run < options.runs; ++run) {
        const Stopwatch watch;
        session.run(run);
        std::fprintf(stderr, "run %d of %d done in %.1f s\n", run + 1, options.runs, watch.ms() / 1000);
    }
    markTreeWhole(tree);

    const PeakRss rss = measurePeakRss(tree.root);
    const Samples &s = session.samples();
    const std::string rows = thousands(session.listableFiles());
    printSearchTable(options, s, reference.hasBfs());
    Report report;
    report.note("rows", rows + " (*.txt;*.log " + thousands(session.selectiveFiles()) + "), as find counts them");
    report.ratio("search *.*", s.searchAll, "find", s.findAll, searchGoal(options));
    if (reference.hasBfs()) {
        const bool wideIsBetter = median(s.bfsWideAll) < median(s.bfsAll);
        report.ratio("search *.* vs bfs 4 (best)", s.searchAll, wideIsBetter ? "bfs -j8" : "bfs",
                     wideIsBetter ? s.bfsWideAll : s.bfsAll, 1.00);
    }
    report.ratio("  floor: list, statx, depth first", s.floorDepthFirst, "find", s.findAll, std::nullopt);
    report.ratio("  floor: list, statx, level by level", s.floorBreadthFirst, "find", s.findAll, std::nullopt);
    report.limit("memory", s.bytesPerRow, "bytes/row", 64);
    report.limit("peak RSS after " + thousands(rss.rows) + " rows", double(rss.kib) * 1024 / 1e6, "MB",
                 options.shapeName == "flat" ? 150 : 120);
    report.limit("select all", median(s.selectAll), "ms", 50);
    report.limit("clear selection", median(s.clearSelection), "ms", 50);
    if (!options.searchesOnly) {
        const std::string share = thousands(session.shareFiles());
        report.ratio("search *.txt;*.log", s.searchSelective, "find", s.findSelective, 0.50);
        report.ratio("delete selected (" + share + ")", s.deleteShare, "xargs rm", s.removeShare, 0.80);
        report.ratio("  floor: fstatat+unlinkat", s.floorShare, "xargs rm", s.removeShare, std::nullopt);
        report.ratio("delete all (" + rows + ")", s.deleteAll, "xargs rm", s.removeAll, 0.80);
        report.note("farewell, whole call", "median " + std::to_string(int(median(s.farewell) + 0.5)) + " ms");
        report.limit("farewell emptying (" + rows + ")", median(s.emptying), "ms", 200);
        report.limit("start to window shown", medianStartup(tree.root, options.runs), "ms", 300);
    }
    reportResponsiveness(report, s);

    if (!options.keep) {
        removeTree(tree);
        std::error_code ignored;
        std::filesystem::remove(options.workFolder, ignored); // only when nothing else is in it
    }

    if (session.mismatches() > 0) {
        std::printf("listings: %d mismatches with find or the tree\n", session.mismatches());
        return 1;
    }
    if (options.quick) {
        std::printf("quick mode: listings agree with find; goals not enforced\n");
        return 0;
    }
    std::printf(report.missed() == 0 ? "goals: all met\n" : "goals: %d missed\n", report.missed());
    return report.missed() == 0 ? 0 : 1;
}

} // namespace vashtem::bench
