// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/core/FuzzChecks.h"

#include "support/core/ReferenceListing.h"

#include "core/search/FilePattern.h"
#include "core/search/LeadingNumber.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include <locale.h>

namespace vashtem::testing {

namespace {

struct Reading {
    double value = 0;
    bool wholeNumber = false; // &H or &O: exact only while it fits a double's 53 bits
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

double cNumber(const std::string &text)
{
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return ::strtod_l(text.c_str(), nullptr, c);
}

// The text with blanks, tabs and line breaks dropped, up to the first character beyond ASCII.
std::string compacted(QStringView text)
{
    std::string out;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if (c >= 0x80)
            break;
        out.push_back(char(c));
    }
    return out;
}

Reading readWhole(const std::string &s, bool hex)
{
    const std::string digitsOf = hex ? "0123456789abcdefABCDEF" : "01234567";
    const size_t end = s.find_first_not_of(digitsOf, 2);
    const std::string digits = s.substr(2, end == std::string::npos ? std::string::npos : end - 2);
    if (digits.empty())
        return {0, true};
    if (hex)
        return {cNumber("0x" + digits), true};
    // Octal digits are three bits each: regroup them as hexadecimal ones for strtod.
    std::string bits;
    for (const char digit : digits) {
        for (int shift = 2; shift >= 0; --shift)
            bits.push_back(((digit - '0') >> shift) & 1 ? '1' : '0');
    }
    bits.insert(0, (4 - bits.size() % 4) % 4, '0');
    std::string hexDigits;
    for (size_t i = 0; i < bits.size(); i += 4)
        hexDigits.push_back("0123456789abcdef"[std::stoi(bits.substr(i, 4), nullptr, 2)]);
    return {cNumber("0x" + hexDigits), true};
}

Reading readDecimal(const std::string &s)
{
    std::string number;
    size_t p = 0;
    if (p < s.size() && (s[p] == '+' || s[p] == '-'))
        number.push_back(s[p++]);
    bool point = false;
    int digits = 0;
    for (; p < s.size(); ++p) {
        if (isDigit(s[p]))
            ++digits;
        else if (s[p] == '.' && !point)
            point = true;
        else
            break;
        number.push_back(s[p]);
    }
    if (digits == 0)
        return {};
    if (p < s.size() && std::string("EeDd").find(s[p]) != std::string::npos) {
        size_t q = p + 1;
        std::string exponent = "e";
        if (q < s.size() && (s[q] == '+' || s[q] == '-'))
            exponent.push_back(s[q++]);
        if (q < s.size() && isDigit(s[q])) {
            while (q < s.size() && isDigit(s[q]))
                exponent.push_back(s[q++]);
            number += exponent;
        }
    }
    return {cNumber(number), false};
}

Reading referenceReading(QStringView text)
{
    const std::string s = compacted(text);
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h'))
        return readWhole(s, true);
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'O' || s[1] == 'o'))
        return readWhole(s, false);
    return readDecimal(s);
}

QByteArray shown(QStringView text)
{
    QByteArray out;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\')
            out.push_back(char(c.unicode()));
        else
            out += "\\u" + QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
    }
    return '"' + out + '"';
}

QByteArray shown(QByteArrayView bytes)
{
    return '"' + bytes.toByteArray().toPercentEncoding(" *?;.") + '"';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

double referenceLeadingNumber(QStringView text)
{
    return referenceReading(text).value;
}

QByteArray leadingNumberFault(QStringView text)
{
    const double actual = readLeadingNumber(text);
    const Reading expected = referenceReading(text);
    bool agree = actual == expected.value && std::signbit(actual) == std::signbit(expected.value);
    if (!agree && expected.wholeNumber && std::isfinite(expected.value) && std::fabs(expected.value) > 0x1p53)
        agree = std::fabs(actual - expected.value) <= std::fabs(expected.value) * 1e-12;
    if (agree)
        return {};
    return shown(text) + " read as " + QByteArray::number(actual, 'g', 17) + ", reference "
        + QByteArray::number(expected.value, 'g', 17);
}

QByteArray patternFault(const QString &patterns, QByteArrayView name)
{
    const bool matched = FilePattern(patterns).matches(name);
    if (matched != reference::Pattern(patterns).matches(name))
        return "pattern " + shown(patterns) + (matched ? " matches " : " does not match ") + shown(name)
            + ", the reference says otherwise";
    if (!FilePattern(QStringLiteral("*")).matches(name) || !FilePattern(QStringLiteral("*.*")).matches(name))
        return "\"*\" or \"*.*\" does not match " + shown(name);
    const bool onlySeparators = std::all_of(patterns.begin(), patterns.end(),
                                            [](QChar c) { return c == u';' || isBlank(c); });
    if (onlySeparators && matched)
        return "pattern " + shown(patterns) + " of separators only matches " + shown(name);
    const QString self = QString::fromUtf8(name);
    const bool literal = !self.isEmpty() && !self.contains(u'*') && !self.contains(u'?') && !self.contains(u';')
        && !isBlank(self.front()) && !isBlank(self.back());
    if (literal && !FilePattern(self).matches(name))
        return shown(name) + " does not match itself as a pattern";
    return {};
}

} // namespace vashtem::testing
