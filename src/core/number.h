#pragma once
// Number conversion for stored settings: text to a 16-bit integer, as the game and the
// modification's files hold them. Needs no Windows header, so it is tested natively.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// Accepts blanks (spaces, tabs) around an optionally signed decimal number with an
// optional fraction and exponent. A fraction goes to the nearest integer, a half to the
// even neighbour. Empty text, any other character, or a result outside the 16-bit range
// gives no value instead of failing later.
std::optional<int16_t> toInt16(std::string_view text);
std::optional<int16_t> toInt16(std::wstring_view text);

} // namespace core
