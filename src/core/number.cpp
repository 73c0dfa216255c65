#include "core/number.h"

#include <cstdlib>
#include <string>

namespace core {
namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// A number as written: its sign, its significant digits without the point, and how many of them
// stand before the point.
struct Decimal {
    bool negative = false;
    std::string digits;
    long pointAt = 0;
};

// Reads digits with at most one point from text[i] on, up to the first other character. False when
// there is no digit at all, or far too many.
template <class Char> bool readDigits(std::basic_string_view<Char> text, size_t& i, Decimal& d) {
    bool anyDigit = false, seenPoint = false;
    for (; i < text.size(); ++i) {
        const auto c = static_cast<wchar_t>(text[i]);
        if (c >= L'0' && c <= L'9') {
            anyDigit = true;
            if (d.digits.empty() && c == L'0') {
                if (seenPoint)
                    --d.pointAt; // leading zeros of a fraction shift the point
                continue;
            }
            d.digits.push_back(static_cast<char>(c));
            if (!seenPoint)
                ++d.pointAt;
            if (d.digits.size() > 40)
                return false; // far beyond 16 bits in any reading
        } else if (c == L'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    return anyDigit;
}

// Reads what follows the "e" of an exponent, all of the rest, and moves the point by it.
template <class Char> bool readExponent(std::basic_string_view<Char> text, Decimal& d) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return false;
    long exponent = 0;
    for (; i < text.size(); ++i) {
        const auto c = static_cast<wchar_t>(text[i]);
        if (c < L'0' || c > L'9')
            return false;
        exponent = exponent * 10 + (c - L'0');
        if (exponent > 1000)
            return false;
    }
    d.pointAt += negative ? -exponent : exponent;
    return true;
}

// The nearest integer, a half to the even neighbour; nothing outside 16 bits.
std::optional<int16_t> rounded(const Decimal& d) {
    const std::string& digits = d.digits;
    const long pointAt = d.pointAt;
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
    const long value = d.negative ? -whole : whole;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<int16_t>(value);
}

template <class Char> std::optional<int16_t> convert(std::basic_string_view<Char> text) {
    while (!text.empty() && isBlank(static_cast<wchar_t>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(static_cast<wchar_t>(text.back())))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    Decimal d;
    size_t i = 0;
    if (text[i] == '+' || text[i] == '-') {
        d.negative = text[i] == '-';
        ++i;
    }
    if (!readDigits(text, i, d))
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        if (!readExponent(text.substr(i + 1), d))
            return std::nullopt;
    } else if (i != text.size()) {
        return std::nullopt;
    }
    return rounded(d);
}

} // namespace

std::optional<int16_t> toInt16(std::string_view text) {
    return convert(text);
}
std::optional<int16_t> toInt16(std::wstring_view text) {
    return convert(text);
}

} // namespace core
