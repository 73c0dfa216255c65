#include "settings/profilecheck.h"

#include <vector>

namespace settings {
namespace {

// The reader's blanks, and the end-of-file mark that old editors leave.
bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x1a;
}

std::wstring_view trim(std::wstring_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

struct Line {
    std::wstring text; // as the writer may rewrite it
    bool owned;
};

// The lines of a file, each with the section it stands in.
std::vector<Line> linesOf(std::wstring_view text, std::span<const WrittenKey> written, SameName sameName) {
    std::vector<Line> out;
    std::wstring_view section; // none before the first header
    while (!text.empty()) {
        const size_t end = text.find(L'\n');
        const std::wstring_view raw = text.substr(0, end);
        text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
        const std::wstring_view line = trim(raw);
        if (line.empty())
            continue;
        const size_t close = line.rfind(L']');
        if (line.front() == L'[' && close != std::wstring_view::npos) {
            section = trim(line.substr(1, close - 1));
            out.push_back({std::wstring(line.substr(0, close + 1)), false});
            continue;
        }
        const size_t eq = line.find(L'=');
        const std::wstring_view name = trim(line.substr(0, eq));
        bool owned = false;
        for (const WrittenKey& w : written)
            owned |= sameName(w.section, section) && sameName(w.key, name);
        std::wstring normal(name);
        if (eq != std::wstring_view::npos) {
            normal += L'=';
            normal += trim(line.substr(eq + 1));
        }
        out.push_back({std::move(normal), owned});
    }
    return out;
}

} // namespace

std::wstring asRead(std::wstring_view value) {
    value = trim(value);
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::wstring(value);
}

bool keepsOtherLines(std::wstring_view before, std::wstring_view after, std::span<const WrittenKey> written,
                     SameName sameName) {
    const std::vector<Line> old = linesOf(before, written, sameName);
    const std::vector<Line> now = linesOf(after, written, sameName);
    size_t next = 0; // the next line of `old` that must appear
    auto skipOwned = [&] {
        while (next < old.size() && old[next].owned)
            ++next;
    };
    skipOwned();
    for (const Line& line : now) {
        if (next == old.size())
            break;
        if (line.text == old[next].text) {
            ++next;
            skipOwned();
        }
    }
    return next == old.size();
}

} // namespace settings
