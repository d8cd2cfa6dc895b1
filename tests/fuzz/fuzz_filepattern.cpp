// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: FilePattern against the reference matcher. The input is a pattern in
// UTF-8, a zero byte, then a file name as raw bytes.
#include "support/core/FuzzChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(data, qsizetype(size));
    const qsizetype zero = input.indexOf('\0');
    if (zero < 0)
        return 0;
    const QString pattern = QString::fromUtf8(input.first(zero));
    const QByteArray fault = vashtem::testing::patternFault(pattern, input.sliced(zero + 1));
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "%s\n", fault.constData());
        std::abort();
    }
    return 0;
}
