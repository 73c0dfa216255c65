#include "toolkit/keynames.h"

#include <windows.h>

#include <algorithm>
#include <optional>

namespace tk {
namespace {

// A plain decimal number, as the fields store them: digits only, no sign, at most 9 of them.
std::optional<int> number(std::wstring_view text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of(L"0123456789") != std::wstring_view::npos)
        return std::nullopt;
    int n = 0;
    for (wchar_t c : text)
        n = n * 10 + (c - L'0');
    return n;
}

// The keys that share their scan code with a key of the number pad and are told apart from it
// by the extended flag (Delete from Num Del, Up from Num 8).
constexpr UINT kExtended[] = {VK_PRIOR, VK_NEXT, VK_END,    VK_HOME,   VK_LEFT,   VK_UP,
                              VK_RIGHT, VK_DOWN, VK_INSERT, VK_DELETE, VK_NUMLOCK};

// The system's name of a virtual key, empty when it has none.
std::wstring keyName(UINT vk) {
    UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC_EX);
    bool ext = (scan & 0xFF00) != 0 || std::ranges::find(kExtended, vk) != std::end(kExtended);
    if (vk == VK_SNAPSHOT) { // mapped to Alt+Print's code, "Sys Req"
        scan = 0x37;
        ext = true;
    } else if (vk == VK_PAUSE) { // mapped to Ctrl+Pause's code
        scan = 0x45;
        ext = false;
    }
    if ((scan & 0xFF) == 0)
        return {};
    wchar_t name[64] = {};
    const LONG param = static_cast<LONG>((scan & 0xFF) << 16) | (ext ? 1L << 24 : 0L);
    const int n = GetKeyNameTextW(param, name, 64);
    return n > 0 ? std::wstring(name) : std::wstring(); // the buffer ends at the name's end
}

} // namespace

std::wstring keyFieldTip(std::wstring_view text) {
    if (text == L"-1")
        return L"No key (-1)";
    const std::optional<int> code = number(text);
    if (!code || *code > 254 || (text.size() > 1 && text[0] == L'0'))
        return {};
    if (*code == 0)
        return L"No key stored (0)";
    std::wstring name = keyName(static_cast<UINT>(*code));
    if (name.empty())
        name = L"Unnamed key";
    return name + L" (" + std::wstring(text) + L")";
}

std::wstring buttonFieldTip(std::wstring_view text) {
    const std::optional<int> button = number(text);
    return button ? L"Joystick button " + std::to_wstring(*button) : std::wstring();
}

} // namespace tk
