#pragma once
// The lists labelled "Joystick ID:" hold "None" and the joysticks 1 to 16, so the stored position
// is the joystick's number and 0 means none.
#include <string_view>
#include <vector>

namespace settings {

inline std::vector<std::wstring_view> joystickItems() {
    return {L"None", L"1",  L"2",  L"3",  L"4",  L"5",  L"6",  L"7", L"8",
            L"9",    L"10", L"11", L"12", L"13", L"14", L"15", L"16"};
}

} // namespace settings
