// SPDX-License-Identifier: GPL-3.0-or-later
#include "TreeRecipe.h"

#include <array>
#include <cstdint>

namespace vashtem::bench {

namespace {

// splitmix64: well mixed bits from an index, the same on every machine.
std::uint64_t mixed(std::uint64_t value)
{
    value += 0x9e3779b97f4a7c15ULL;
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
    return value ^ (value >> 31);
}

std::string base36(long value)
{
    static constexpr char Digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string text;
    do {
        text.insert(text.begin(), Digits[value % 36]);
        value /= 36;
    } while (value > 0);
    return text;
}

constexpr std::array<const char *, 16> Words = {
    "写真", "資料", "報告書", "メモ", "議事録", "見積", "data", "report",
    "img", "backup", "notes", "log", "テスト", "設定", "cache", "draft",
};

constexpr std::array<const char *, 8> FolderWords = {
    "フォルダ", "src", "資料", "archive", "作業", "docs", "画像", "tmp",
};

// Percent shares: .txt, .TXT and .log make up 10 %; ".logs" and ".text" must not match.
const char *extensionFor(unsigned percent)
{
    if (percent < 5) return ".txt";
    if (percent < 6) return ".TXT";
    if (percent < 10) return ".log";
    if (percent < 25) return ".jpg";
    if (percent < 35) return ".png";
    if (percent < 45) return ".dat";
    if (percent < 55) return ".cpp";
    if (percent < 60) return ".h";
    if (percent < 70) return ".pdf";
    if (percent < 78) return ".docx";
    if (percent < 85) return ".csv";
    if (percent < 90) return "";
    if (percent < 95) return ".tar.gz";
    if (percent < 98) return ".logs";
    return ".text";
}

// Mostly small files, a few of up to 1 MiB and 16 MiB.
long long sizeFor(unsigned percent, std::uint64_t bits)
{
    if (percent < 95)
        return (long long)(bits % (64 * 1024 + 1));
    if (percent < 99)
        return 64 * 1024 + (long long)(bits % (1024 * 1024 - 64 * 1024));
    return 1024 * 1024 + (long long)(bits % (15 * 1024 * 1024));
}

} // namespace

long parentFolder(long index, bool chain)
{
    return chain ? index - 1 : (index - 1) / FolderFanOut;
}

std::string folderName(long index)
{
    return std::string(FolderWords[mixed(std::uint64_t(index)) % FolderWords.size()]) + "_" + base36(index);
}

FileRecipe fileRecipe(long index)
{
    const std::uint64_t bits = mixed(std::uint64_t(index) ^ 0x5eedULL);
    const unsigned extensionPercent = unsigned(bits % 100);
    FileRecipe recipe;
    recipe.hidden = (bits >> 8) % 100 == 0;
    recipe.linked = (bits >> 16) % 200 == 0;
    recipe.selective = extensionPercent < 10;
    recipe.size = sizeFor(unsigned((bits >> 24) % 100), bits >> 32);
    recipe.name.assign(recipe.hidden ? 1 : 0, '.');
    recipe.name += Words[(bits >> 40) % Words.size()];
    recipe.name += (bits >> 44) % 2 ? '_' : '-';
    recipe.name += base36(index);
    recipe.name += extensionFor(extensionPercent);
    return recipe;
}

std::string linkName(long index)
{
    return "リンク_" + base36(index);
}

} // namespace vashtem::bench
