#pragma once
// What the code in a key or button field means, for the field's tooltip: a player reads "A (65)"
// where the field, which holds exactly what the modification reads, shows "65".
#include <string>
#include <string_view>

namespace tk {

// The key's name in the player's keyboard layout and language beside its code ("A (65)",
// "Enter (13)"), "No key (-1)" or "No key stored (0)"; empty for a text that is no key code.
std::wstring keyFieldTip(std::wstring_view text);

// "Joystick button N" for a button number; empty for any other text.
std::wstring buttonFieldTip(std::wstring_view text);

} // namespace tk
