// The texture mod plan: for any mod file names and target list lines, either a refusal, or a plan
// whose every target lies inside the game folder and outside the backup area, and whose every
// backup is a plain name directly in the backup folder.
#include "texmods/plan.h"

#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

namespace {

void check(bool ok) {
    if (!ok)
        abort();
}

// Bytes to text: ASCII as it is, other bytes to characters beyond it.
std::wstring text(const std::string& bytes) {
    std::wstring out;
    for (unsigned char c : bytes)
        out += c < 0x80 ? static_cast<wchar_t>(c) : static_cast<wchar_t>(0x100 + c);
    return out;
}

std::wstring lower(std::wstring s) {
    for (auto& c : s)
        if (c < 0x80)
            c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

// A relative path that, resolved against the game folder, stays inside it and out of the backups.
void checkTarget(const std::wstring& target) {
    check(!target.empty());
    check(target.find_first_of(L":/") == std::wstring::npos);
    check(target[0] != L'\\');
    size_t start = 0;
    std::vector<std::wstring> parts;
    for (;;) {
        const size_t end = target.find(L'\\', start);
        const std::wstring part =
            target.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        check(!part.empty() && part != L"." && part != L"..");
        check(part.back() != L'.' && part.back() != L' ');
        parts.push_back(lower(part));
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    check(!(parts.size() >= 2 && parts[0] == L"zelqcfg" && parts[1] == L"texpacks"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    // Records split at NUL: a flags byte (bit 0: a list file exists, bit 1: it holds a line), then
    // the mod file name and the list's first line split at byte 1.
    std::vector<texmods::ModFile> files;
    const std::string all(reinterpret_cast<const char*>(data), size);
    size_t pos = 0;
    while (pos < all.size() && files.size() < 64) {
        size_t end = all.find('\0', pos);
        if (end == std::string::npos)
            end = all.size();
        const std::string record = all.substr(pos, end - pos);
        pos = end + 1;
        if (record.empty())
            continue;
        const unsigned flags = static_cast<unsigned char>(record[0]);
        const std::string rest = record.substr(1);
        const size_t split = rest.find('\x01');
        texmods::ModFile f;
        f.name = text(rest.substr(0, split));
        f.hasList = flags & 1;
        if (f.hasList && (flags & 2))
            f.firstLine = text(split == std::string::npos ? std::string() : rest.substr(split + 1));
        files.push_back(f);
    }

    const texmods::Plan plan = texmods::makePlan(files);
    if (plan.refusal) {
        check(plan.steps.empty());
        return 0;
    }
    for (const texmods::Step& s : plan.steps) {
        check(s.mod < files.size());
        checkTarget(s.target);
        check(!s.backup.empty());
        check(s.backup.find_first_of(L"\\/:") == std::wstring::npos); // flat in the backup folder
        check(s.backup != L"." && s.backup != L"..");
    }
    (void)texmods::describe(all);
    (void)texmods::firstLine(all);
    return 0;
}
