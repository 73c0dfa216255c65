#include "core/number.h"

#include <cstdlib>
#include <string>

namespace core {
namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

template <class Char> std::optional<int16_t> convert(std::basic_string_view<Char> text) {
    size_t b = 0, e = text.size();
    while (b < e && isBlank(static_cast<wchar_t>(text[b])))
        ++b;
    while (e > b && isBlank(static_cast<wchar_t>(text[e - 1])))
        --e;
    if (b == e)
        return std::nullopt;

    size_t i = b;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    // Significant digits without the point, and how many of them stand before it.
    std::string digits;
    long pointAt = 0;
    bool anyDigit = false, seenPoint = false;
    for (; i < e; ++i) {
        const auto c = static_cast<wchar_t>(text[i]);
        if (c >= L'0' && c <= L'9') {
            anyDigit = true;
            if (digits.empty() && c == L'0') {
                if (seenPoint)
                    --pointAt; // leading zeros of a fraction shift the point
                continue;
            }
            digits.push_back(static_cast<char>(c));
            if (!seenPoint)
                ++pointAt;
            if (digits.size() > 40)
                return std::nullopt; // far beyond 16 bits in any reading
        } else if (c == L'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (i < e && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < e && (text[i] == '+' || text[i] == '-')) {
            expNegative = text[i] == '-';
            ++i;
        }
        if (i == e)
            return std::nullopt;
        long exponent = 0;
        for (; i < e; ++i) {
            const auto c = static_cast<wchar_t>(text[i]);
            if (c < L'0' || c > L'9')
                return std::nullopt;
            exponent = exponent * 10 + (c - L'0');
            if (exponent > 1000)
                return std::nullopt;
        }
        pointAt += expNegative ? -exponent : exponent;
    }
    if (i != e)
        return std::nullopt;

    // Integer part and the fraction's first digit and remainder decide the rounding.
    if (pointAt > 6)
        return digits.empty() ? std::optional<int16_t>(0) : std::nullopt;
    long whole = 0;
    for (long k = 0; k < pointAt; ++k)
        whole = whole * 10 + (k < static_cast<long>(digits.size()) ? digits[k] - '0' : 0);
    int firstFraction = 0;
    bool restNonZero = false;
    for (long k = pointAt < 0 ? 0 : pointAt; k < static_cast<long>(digits.size()); ++k) {
        const long position = k - pointAt; // 0 is the first fraction digit
        if (position == 0)
            firstFraction = digits[k] - '0';
        else if (digits[k] != '0')
            restNonZero = true;
    }
    if (pointAt < 0 && !digits.empty()) {
        firstFraction = 0; // the first fraction digit is a zero
        restNonZero = true;
    }
    if (firstFraction > 5 || (firstFraction == 5 && restNonZero) || (firstFraction == 5 && whole % 2 == 1))
        ++whole;
    const long value = negative ? -whole : whole;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<int16_t>(value);
}

} // namespace

std::optional<int16_t> toInt16(std::string_view text) {
    return convert(text);
}
std::optional<int16_t> toInt16(std::wstring_view text) {
    return convert(text);
}

std::string decimal(long value) {
    return std::to_string(value);
}
std::wstring wdecimal(long value) {
    return std::to_wstring(value);
}

} // namespace core
