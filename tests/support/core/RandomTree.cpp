// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/core/RandomTree.h"

#include <QSet>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vashtem::testing {

namespace {

const QByteArray NamePieces[] = {
    "a", "A", "b", "B", "readme", "README", "data", "z9", "10", "9",
    "my file", " lead", "trail ", "a b", "\t",
    "日本語", "ファイル", "が", "か\xe3\x82\x99", "ﾃｽﾄ", "ｔｘｔ",
    "Ä", "ä", "Σ", "σ", "ς", "ǅ", "\xe2\x84\xaa", "k", "ß", "ẞ", "😀",
    "\xff", "\xe3\x81", "\xc0\x80", "\xed\xa0\x80", "\x80", "\xf4\x90\x80\x80",
    "*", "?", ";", "\\", "[a]", "%", "~", "-", "a.b", "x..y", "dot.",
};

const QByteArray Extensions[] = {
    "", "", ".txt", ".TXT", ".Txt", ".log", ".LOG", ".tar.gz", ".日本", ".", ".a",
};

// Sizes either side of what the size box reads: 2.5 B, 15 B, 255 B, 1.5 KB, 4.096 KB, 1 MB...
const qint64 Sizes[] = {
    0, 0, 1, 2, 3, 4, 14, 15, 16, 199, 200, 201, 254, 255, 256, 499, 500, 501,
    999, 1000, 1001, 1499, 1500, 1501, 4095, 4096, 4097, 12344, 12345, 12346,
};
const qint64 MegabyteSizes[] = {999999, 1000000, 1000001, 1500000};
const qint64 HugeSizes[] = {(qint64(1) << 31) + 1, (qint64(1) << 32) + 5};

QByteArray randomName(QRandomGenerator &random, bool withExtension)
{
    QByteArray name;
    const int pieces = 1 + random.bounded(3);
    for (int i = 0; i < pieces; ++i)
        name += pick(random, NamePieces);
    if (withExtension)
        name += pick(random, Extensions);
    return name;
}

qint64 randomSize(QRandomGenerator &random, const RandomTreeOptions &options)
{
    if (options.hugeFiles && chance(random, 2))
        return pick(random, HugeSizes);
    if (chance(random, 5))
        return pick(random, MegabyteSizes);
    return pick(random, Sizes);
}

// Writes the file's relative path over its first bytes.
void tag(const QByteArray &path, const QByteArray &relative, qint64 size)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    const qint64 length = std::min<qint64>(size, relative.size());
    const bool written = ::pwrite(fd, relative.constData(), size_t(length), 0) == length;
    ::close(fd);
    if (!written)
        QTest::qFail("pwrite", __FILE__, __LINE__);
}

class Filler
{
public:
    Filler(TempTree &tree, QRandomGenerator &random, const RandomTreeOptions &options)
        : m_tree(tree), m_random(random), m_options(options)
    {
    }

    std::vector<QByteArray> visible;

    void fill(const QByteArray &folder, int depth, bool hidden)
    {
        if (!hidden)
            visible.push_back(folder);
        QSet<QByteArray> used;
        auto freshName = [&](bool withExtension) {
            QByteArray name = randomName(m_random, withExtension);
            if (chance(m_random, 12))
                name.prepend('.');
            if (used.contains(name))
                return QByteArray();
            used.insert(name);
            return name;
        };
        auto join = [&](const QByteArray &name) { return folder.isEmpty() ? name : folder + '/' + name; };

        for (int i = 1 + random(6); i > 0; --i) {
            const QByteArray name = freshName(true);
            if (name.isEmpty())
                continue;
            const qint64 size = randomSize(m_random, m_options);
            m_tree.file(join(name), size);
            tag(m_tree.path(join(name)), join(name), size);
        }
        for (int i = random(4); i > 0; --i) {
            const QByteArray name = freshName(chance(m_random, 50));
            if (!name.isEmpty() && !used.contains(name + "-target")) {
                used.insert(name + "-target");
                addOddEntry(folder, name);
            }
        }
        if (depth >= m_options.maxDepth)
            return;
        for (int i = random(4 - depth); i > 0; --i) {
            const QByteArray name = freshName(chance(m_random, 20));
            if (name.isEmpty())
                continue;
            m_tree.folder(join(name));
            fill(join(name), depth + 1, hidden || name.startsWith('.'));
        }
    }

private:
    int random(int below) { return m_random.bounded(below); }

    // A link of some kind, or a pipe: never listed, never entered.
    void addOddEntry(const QByteArray &folder, const QByteArray &name)
    {
        const QByteArray relative = folder.isEmpty() ? name : folder + '/' + name;
        const QByteArray targets[] = {".", "..", m_tree.root(), "nowhere", name, "../" + name};
        switch (random(3)) {
        case 0:
            m_tree.symlink(relative, pick(m_random, targets));
            break;
        case 1: {
            // A link to a file or folder made just for it, so it points at something real.
            const QByteArray target = name + "-target";
            if (chance(m_random, 50))
                m_tree.file(relative + "-target", 3);
            else
                m_tree.file(relative + "-target/inside.txt", 4);
            m_tree.symlink(relative, target);
            break;
        }
        default:
            if (::mkfifo(m_tree.path(relative).constData(), 0644) != 0)
                QTest::qFail("mkfifo", __FILE__, __LINE__);
            break;
        }
    }

    TempTree &m_tree;
    QRandomGenerator &m_random;
    const RandomTreeOptions &m_options;
};

} // namespace

std::vector<QByteArray> fillRandomTree(TempTree &tree, QRandomGenerator &random,
                                       const RandomTreeOptions &options)
{
    Filler filler(tree, random, options);
    filler.fill(QByteArray(), 0, false);
    return filler.visible;
}

std::vector<quint32> testSeeds(quint32 first, int count)
{
    bool ok = false;
    const quint32 replay = qEnvironmentVariable("VASHTEM_SEED").toUInt(&ok, 0);
    if (ok)
        return {replay};
    const int wanted = qEnvironmentVariableIntValue("VASHTEM_TREES", &ok);
    std::vector<quint32> seeds;
    for (int i = 0; i < (ok && wanted > 0 ? wanted : count); ++i)
        seeds.push_back(first + quint32(i));
    return seeds;
}

} // namespace vashtem::testing
