#include "platform/names.h"

#include <windows.h>

namespace platform {

bool sameName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

std::wstring nameKey(std::wstring_view name) {
    if (name.empty())
        return {};
    std::wstring out(name.size(), L'\0');
    const int n =
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.data(), static_cast<int>(name.size()),
                      out.data(), static_cast<int>(out.size()), nullptr, nullptr, 0);
    if (n <= 0)
        return std::wstring(name);
    out.resize(static_cast<size_t>(n));
    return out;
}

} // namespace platform
