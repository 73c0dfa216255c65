#include "texmods/plan.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace texmods {
namespace {

// The listings' rule for order and the ".sz" pattern: ASCII letters only.
wchar_t lower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool sameAscii(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

std::vector<std::wstring_view> split(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(
            text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
        if (end == std::wstring_view::npos)
            return parts;
        start = end + 1;
    }
}

bool isDeviceName(std::wstring_view part, SameName sameName) {
    // Windows takes the name before the first dot, trailing blanks dropped, as the device.
    std::wstring_view base = part.substr(0, part.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.remove_suffix(1);
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (sameName(base, device))
            return true;
    if (base.size() == 4 && (sameName(base.substr(0, 3), L"COM") || sameName(base.substr(0, 3), L"LPT"))) {
        const wchar_t n = base[3];
        return (n >= L'0' && n <= L'9') || n == L'\u00b9' || n == L'\u00b2' || n == L'\u00b3';
    }
    return false;
}

// "ZELQCF~1": a short name could stand for any folder, the backup folder's too.
bool looksShortName(std::wstring_view part) {
    const std::wstring_view base = part.substr(0, part.find(L'.'));
    const size_t tilde = base.rfind(L'~');
    if (tilde == std::wstring_view::npos || tilde + 1 == base.size())
        return false;
    return std::all_of(base.begin() + static_cast<std::ptrdiff_t>(tilde) + 1, base.end(),
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

} // namespace

std::optional<std::wstring> targetProblem(std::wstring_view entry, SameName sameName) {
    if (entry.find(L'\\') != std::wstring_view::npos)
        return L"it holds a \"\\\"; targets are written with \"^\" between folder names.";
    std::wstring path(entry);
    std::replace(path.begin(), path.end(), L'^', L'\\');
    if (!path.empty() && path[0] == L'\\')
        return L"it is an absolute or network path; targets must lie inside the game folder.";
    if (path.size() >= 2 && path[1] == L':')
        return L"it carries a drive prefix; targets must lie inside the game folder.";
    if (path.find(L':') != std::wstring::npos)
        return L"it holds a \":\", which would name a stream of a file.";
    for (wchar_t c : path)
        if (c < 32 || std::wstring_view(L"<>\"/|?*").find(c) != std::wstring_view::npos)
            return L"it holds a character that Windows refuses in a file name.";
    const std::vector<std::wstring_view> parts = split(path, L'\\');
    for (std::wstring_view part : parts) {
        if (part.empty())
            return L"it has an empty folder or file name.";
        if (part == L"." || part == L"..")
            return L"it has a \".\" or \"..\" part; targets must lie inside the game folder.";
        if (part.back() == L'.' || part.back() == L' ')
            return L"a name in it ends with a dot or a blank, which Windows refuses.";
        if (isDeviceName(part, sameName))
            return L"it uses a name that Windows reserves for a device.";
        if (looksShortName(part))
            return L"it uses a short (8.3) name, which could stand for another folder.";
    }
    if (parts.size() >= 2 && sameName(parts[0], L"zelqcfg") && sameName(parts[1], L"texpacks"))
        return L"it lies inside \"zelqcfg\\texpacks\\\", where the mods and the backups are kept.";
    return std::nullopt;
}

Plan makePlan(const std::vector<ModFile>& files, SameName sameName) {
    Plan plan;
    auto refuse = [&plan](std::wstring_view file, std::wstring_view entry, std::wstring reason) {
        plan.steps.clear();
        plan.refusal = Refusal{std::wstring(file), std::wstring(entry), std::move(reason)};
        return plan;
    };
    for (size_t i = 0; i < files.size(); ++i) {
        const ModFile& f = files[i];
        std::vector<std::wstring_view> entries;
        if (f.hasList) {
            if (!f.firstLine)
                return refuse(f.name, L"", L"its target list file \"" + f.name + L".txt\" holds no line.");
            entries = split(*f.firstLine, L'|');
        } else {
            entries.push_back(f.name);
        }
        for (std::wstring_view entry : entries) {
            if (entry.empty())
                continue; // names no file
            if (auto problem = targetProblem(entry, sameName))
                return refuse(f.name, entry, std::move(*problem));
            Step step{i, std::wstring(entry), std::wstring(entry)};
            std::replace(step.target.begin(), step.target.end(), L'^', L'\\');
            plan.steps.push_back(std::move(step));
        }
    }
    return plan;
}

uint64_t spaceNeeded(const std::vector<SpaceStep>& steps, bool install, uint64_t cluster) {
    if (cluster == 0)
        cluster = 1;
    auto onDisk = [cluster](uint64_t bytes) { return (bytes / cluster + (bytes % cluster != 0)) * cluster; };
    struct Seen {
        uint64_t bytes;
        bool saved;
    };
    std::map<std::wstring, Seen> targets; // one file named twice is followed through the run
    uint64_t used = 0, peak = 0, freed = 0;
    for (const SpaceStep& s : steps) {
        const uint64_t writes = onDisk(s.writes);
        // Freed space is taken first, so that the sum never falls below zero.
        const uint64_t fromFreed = std::min(freed, writes);
        freed -= fromFreed;
        used += writes - fromFreed;
        peak = std::max(peak, used);
        if (s.target.empty())
            continue;
        Seen& t = targets.try_emplace(s.target, Seen{s.targetBytes, s.backedUp}).first->second;
        if (install && !t.saved)
            t.saved = true; // moved into the backup folder: it keeps its space
        else
            freed += onDisk(t.bytes);
        t.bytes = s.writes;
    }
    return peak;
}

std::wstring sizeText(uint64_t bytes) {
    wchar_t scaled[32];
    const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    if (mb >= 1024.0)
        std::swprintf(scaled, 32, L"%.1f GB", mb / 1024.0);
    else if (mb >= 1.0)
        std::swprintf(scaled, 32, L"%.1f MB", mb);
    else
        std::swprintf(scaled, 32, L"%.1f KB", static_cast<double>(bytes) / 1024.0);
    std::wstring digits = std::to_wstring(bytes), grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += L',';
        grouped += digits[i];
    }
    return std::wstring(scaled) + L" (" + grouped + (bytes == 1 ? L" byte)" : L" bytes)");
}

std::optional<std::string> firstLine(std::string_view bytes) {
    if (bytes.empty())
        return std::nullopt;
    return std::string(bytes.substr(0, bytes.find_first_of("\r\n")));
}

std::string describe(std::string_view bytes) {
    std::string out;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", at);
        out.append(bytes.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        out += "  ";
        if (end == std::string_view::npos)
            break;
        at = end + 1;
        if (bytes[end] == '\r' && at < bytes.size() && bytes[at] == '\n')
            ++at;
    }
    return out;
}

bool isModFileName(std::wstring_view name) {
    return name.size() >= 3 && sameAscii(name.substr(name.size() - 3), L".sz");
}

void sortNames(std::vector<std::wstring>& names) {
    std::stable_sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        const bool before = std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) { return lower(x) < lower(y); });
        if (before || !sameAscii(a, b))
            return before;
        return a < b;
    });
}

} // namespace texmods
