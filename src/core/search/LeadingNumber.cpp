// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/LeadingNumber.h"

#include <charconv>
#include <limits>
#include <string>

namespace vashtem {

namespace {

bool isSkipped(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The text without the skipped characters. Anything outside ASCII becomes a control
// character, so full-width digits and the like end the number instead of being read.
std::string compact(QStringView text)
{
    std::string out;
    out.reserve(size_t(text.size()));
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (!isSkipped(c))
            out.push_back(c < 0x80 ? char(c) : '\x01');
    }
    return out;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// Accumulating in double is exact while it fits 53 bits; larger values only need to be close.
double readInteger(const std::string &s, size_t pos, int base)
{
    double value = 0;
    for (; pos < s.size() && digitValue(s[pos]) < base; ++pos)
        value = value * base + digitValue(s[pos]);
    return value;
}

struct Decimal
{
    std::string text;        // digits, point and exponent in the form from_chars reads
    bool negative = false;
    long long magnitude = 0; // rough power of ten, to tell overflow from underflow
};

// Appends the exponent at s[pos] if one follows; a bare "E" or "E+" is not part of the number.
void appendExponent(const std::string &s, size_t pos, Decimal &d)
{
    if (pos >= s.size() || (s[pos] != 'E' && s[pos] != 'e' && s[pos] != 'D' && s[pos] != 'd'))
        return;
    size_t p = pos + 1;
    bool minus = false;
    if (p < s.size() && (s[p] == '+' || s[p] == '-'))
        minus = s[p++] == '-';
    if (p >= s.size() || !isDigit(s[p]))
        return;
    d.text += minus ? "e-" : "e";
    long long exponent = 0;
    for (; p < s.size() && isDigit(s[p]); ++p) {
        d.text.push_back(s[p]);
        if (exponent < 1'000'000'000)
            exponent = exponent * 10 + (s[p] - '0');
    }
    d.magnitude += minus ? -exponent : exponent;
}

// Keeps the rough power of ten: significant whole digits, or minus the zeros after the point.
void countDigit(char c, bool afterPoint, Decimal &d, bool &nonZero)
{
    if (!afterPoint && (nonZero || c != '0')) {
        nonZero = true;
        ++d.magnitude;
    } else if (afterPoint && !nonZero) {
        nonZero = c != '0';
        if (!nonZero)
            --d.magnitude;
    }
}

// Returns false when no digit stands before the exponent.
bool scanDecimal(const std::string &s, Decimal &d)
{
    size_t pos = 0;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-'))
        d.negative = s[pos++] == '-';
    bool seenPoint = false, seenDigit = false, nonZero = false;
    for (; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (isDigit(c)) {
            seenDigit = true;
            countDigit(c, seenPoint, d, nonZero);
        } else {
            break;
        }
        d.text.push_back(c);
    }
    if (!seenDigit)
        return false;
    appendExponent(s, pos, d);
    return true;
}

// from_chars rounds correctly whatever the C locale; it takes no "+", so the sign is kept
// apart, and out of range it leaves the value alone, so the magnitude picks infinity or 0.
double readDecimal(const std::string &s)
{
    Decimal d;
    if (!scanDecimal(s, d))
        return 0;
    double value = 0;
    const char *end = d.text.data() + d.text.size();
    const auto result = std::from_chars(d.text.data(), end, value);
    if (result.ec == std::errc::result_out_of_range)
        value = d.magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return d.negative ? -value : value;
}

} // namespace

double readLeadingNumber(QStringView text)
{
    const std::string s = compact(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return readInteger(s, 2, 16);
        if (s[1] == 'O' || s[1] == 'o')
            return readInteger(s, 2, 8);
    }
    return readDecimal(s);
}

} // namespace vashtem
