// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PseudoFileSystems.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vashtem {

namespace {

struct PseudoFileSystem {
    std::string_view type;
    unsigned long magic; // 0 where the type has none of its own
};

// The numbers of linux/magic.h; those it lacks are the kernel's own sources'.
constexpr std::array<PseudoFileSystem, 21> Pseudo = {{
    {"autofs", 0x0187},          {"binfmt_misc", 0x42494e4d}, {"bpf", 0xcafe4a11},
    {"cgroup", 0x27e0eb},        {"cgroup2", 0x63677270},     {"configfs", 0x62656570},
    {"debugfs", 0x64626720},     {"devpts", 0x1cd1},          {"devtmpfs", 0},
    {"efivarfs", 0xde5e81e4},    {"fusectl", 0x65735543},     {"hugetlbfs", 0x958458f6},
    {"mqueue", 0x19800202},      {"nsfs", 0x6e736673},        {"proc", 0x9fa0},
    {"pstore", 0x6165676c},      {"rpc_pipefs", 0x67596969},  {"securityfs", 0x73636673},
    {"selinuxfs", 0xf97cff8c},   {"sysfs", 0x62656572},       {"tracefs", 0x74726163},
}};

} // namespace

bool isPseudoFileSystem(QByteArrayView type)
{
    const std::string_view name(type.data(), size_t(type.size()));
    return std::any_of(Pseudo.begin(), Pseudo.end(), [&](const PseudoFileSystem &fs) { return fs.type == name; });
}

bool isPseudoFileSystemType(unsigned long magic)
{
    return magic != 0
        && std::any_of(Pseudo.begin(), Pseudo.end(), [&](const PseudoFileSystem &fs) { return fs.magic == magic; });
}

} // namespace vashtem
