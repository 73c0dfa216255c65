// The texture mod plan: for any mod files and list lines, a refusal or exactly the entries named, in order,
// each inside the game folder and outside the backup area, saved as written directly in the backup folder.
#include "texmods/plan.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>

// The system's comparison of names, which the fuzzer cannot call, as far as ASCII goes.
static bool sameAscii(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return (x < 0x80 ? std::towlower(x) : x) == (y < 0x80 ? std::towlower(y) : y);
           });
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    // Records split at NUL: a flags byte (bit 0: a list file exists, bit 1: it holds a line), then
    // the mod file name and the list's first line split at byte 1.
    const std::string all(reinterpret_cast<const char*>(data), size);
    auto check = [](bool ok) {
        if (!ok)
            abort();
    };
    auto text = [](const std::string& bytes) { // ASCII as it is, other bytes to characters beyond it
        std::wstring out;
        for (unsigned char c : bytes)
            out += static_cast<wchar_t>(c < 0x80 ? c : 0x100 + c);
        return out;
    };
    std::vector<texmods::ModFile> files;
    std::vector<std::pair<size_t, std::wstring>> entries; // by file, empty ones left out
    bool lineless = false;
    for (size_t pos = 0, end; pos < all.size() && files.size() < 64; pos = end + 1) {
        end = std::min(all.find('\0', pos), all.size());
        if (end == pos)
            continue;
        const std::string record = all.substr(pos, end - pos);
        const size_t split = record.find('\x01', 1);
        texmods::ModFile f{text(record.substr(1, split - 1)), (record[0] & 1) != 0, std::nullopt};
        if (f.hasList && (record[0] & 2))
            f.firstLine = text(split == std::string::npos ? "" : record.substr(split + 1));
        lineless |= f.hasList && !f.firstLine;
        const std::wstring named = (f.hasList ? f.firstLine.value_or(L"") : f.name) + L"|";
        for (size_t at = 0, bar; (bar = named.find(L'|', at)) != std::wstring::npos; at = bar + 1)
            if (bar > at)
                entries.emplace_back(files.size(), named.substr(at, bar - at));
        files.push_back(f);
    }

    const texmods::Plan plan = texmods::makePlan(files, sameAscii);
    check(plan.refusal ? plan.steps.empty() : !lineless && plan.steps.size() == entries.size());
    for (size_t k = 0; k < plan.steps.size(); ++k) {
        const texmods::Step& s = plan.steps[k];
        std::wstring t = s.backup;
        std::replace(t.begin(), t.end(), L'^', L'\\');
        check(s.mod == entries[k].first && s.backup == entries[k].second && s.target == t);
        check(s.backup.find(L'\\') == std::wstring::npos && t.find_first_of(L":/") == std::wstring::npos);
        // Between backslashes, no empty name, no ".", "..", nor a name ending in a dot or a blank.
        t = L"\\" + t + L"\\";
        for (const wchar_t* bad : {L"\\\\", L".\\", L" \\"})
            check(t.find(bad) == std::wstring::npos);
        check(!sameAscii(t.substr(0, 18), L"\\zelqcfg\\texpacks\\"));
    }
    (void)texmods::describe(all);
    (void)texmods::firstLine(all);
    return 0;
}
