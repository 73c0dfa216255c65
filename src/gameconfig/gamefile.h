#pragma once
// The game's own configuration file: seven lines "NAME = value", read by position and
// rewritten whole. Pure byte handling in the system's ANSI code page; the main window
// converts texts and applies the values to its controls.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gameconfig {

enum Line { Adapter, Width, Height, AntiAliasing, Fog, Language, Windowed, LineCount };

// The text before each value, in file order.
inline constexpr std::array<std::string_view, LineCount> kPrefixes = {
    "DX/ADAPTER = ", "DX/RES/WIDTH = ", "DX/RES/HEIGHT = ", "DX/ANTIALIASING = ",
    "DX/FOG = ",     "LANGUAGE = ",     "DX/WINDOWED = "};

// Highest value each numeric line's control accepts; the lowest is -1 for lists, 0 for boxes.
inline constexpr int kAdapterMax = 2, kAntiAliasingMax = 2, kLanguageMax = 4, kCheckMax = 2;

// The values as the main window holds them.
struct Values {
    int adapter = 0;
    std::string width = "640";
    std::string height = "480";
    int antiAliasing = 0;
    int fog = 1;
    int language = 0;
    int windowed = 0;
};

// What a file yields: each line's value, or nothing where the line is missing, holds no
// separator, or carries a number its control refuses (that control keeps its state).
struct Loaded {
    std::optional<int> adapter;
    std::optional<std::string> width, height;
    std::optional<int> antiAliasing, fog, language, windowed;
};

Loaded parse(std::string_view bytes);

// The seven lines with CRLF. An overlay flag of 1 forces windowed mode on.
std::string format(const Values& values, int16_t useOverlay);

} // namespace gameconfig
