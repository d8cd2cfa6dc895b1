// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: readLeadingNumber against its reference reading. Bytes below 0x80 are
// their ASCII characters; the others stand for characters beyond ASCII that the reader must
// stop at, lone surrogates among them.
#include "support/core/FuzzChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const char16_t Beyond[] = {0xFF11, 0xD800, 0xDC00, 0x0663, 0x00A0, 0x3000, 0xFFFD, 0x00E9};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString text;
    for (std::size_t i = 0; i < size; ++i)
        text.append(QChar(data[i] < 0x80 ? char16_t(data[i]) : Beyond[data[i] % std::size(Beyond)]));
    const QByteArray fault = vashtem::testing::leadingNumberFault(text);
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "%s\n", fault.constData());
        std::abort();
    }
    return 0;
}
