#include "texmods/modstatus.h"

#include "platform/files.h"
#include "platform/names.h"
#include "texmods/texmods.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace texmods {
namespace {

constexpr DWORD kChunk = 256 * 1024;

// A mod file as a plan puts it at a target.
struct Source {
    std::wstring path;
    uint64_t bytes = 0;
};

// A mod's plan as an install carries it out: each distinct target once, with the file that the
// last step to reach it leaves there.
struct Placed {
    std::wstring unread; // as the status line names it
    std::optional<Refusal> refusal;
    size_t modFiles = 0;
    std::vector<Step> steps;
    std::vector<Source> sources;          // of each step
    std::map<std::wstring, size_t> byKey; // a target's name key to its step
};

Placed placed(const std::wstring& folder) {
    Placed p;
    std::vector<ModFile> files;
    std::wstring list;
    if (readMod(folder, files, list)) {
        p.unread = list.empty() ? L"the mod's folder" : L"\"" + platform::nameOf(list) + L"\"";
        return p;
    }
    p.modFiles = files.size();
    Plan plan = makePlan(files, platform::sameName);
    p.refusal = std::move(plan.refusal);
    for (Step& s : plan.steps) {
        const Source source{folder + files[s.mod].name, files[s.mod].bytes};
        const auto [at, fresh] = p.byKey.try_emplace(platform::nameKey(s.target), p.steps.size());
        if (fresh) {
            p.steps.push_back(std::move(s));
            p.sources.push_back(source);
        } else {
            p.sources[at->second] = source;
        }
    }
    return p;
}

// The size of a file, or nothing when there is no file (a folder is none).
std::optional<uint64_t> fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExW(platform::longPath(path).c_str(), GetFileExInfoStandard, &d) ||
        (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

// A file open for reading, shared with every other program.
struct Reading {
    HANDLE h;
    explicit Reading(const std::wstring& path)
        : h(CreateFileW(platform::longPath(path).c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}
    ~Reading() {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

    std::optional<uint64_t> size() const {
        LARGE_INTEGER n;
        if (h == INVALID_HANDLE_VALUE || !GetFileSizeEx(h, &n))
            return std::nullopt;
        return static_cast<uint64_t>(n.QuadPart);
    }
    // Back to the start for another comparison; a file not read yet is there already.
    bool rewind() const {
        return h != INVALID_HANDLE_VALUE && (!read || SetFilePointerEx(h, {}, nullptr, FILE_BEGIN));
    }
    bool next(char* into, DWORD bytes) const {
        DWORD got = 0;
        read = true;
        return h != INVALID_HANDLE_VALUE && ReadFile(h, into, bytes, &got, nullptr) && got == bytes;
    }
    mutable bool read = false;
};

// Gathers the facts of each target of one mod, keeping what it learnt of the other mods.
class Reader {
public:
    Reader(const std::wstring& game, const std::vector<std::wstring>& others,
           const std::atomic<bool>& cancelled)
        : game_(platform::withSlash(game)), backups_(backupFolder(game)), others_(others),
          theirs_(others.size()), cancelled_(cancelled), a_(kChunk), b_(kChunk) {}

    TargetFacts factsOf(const Step& step, const Source& source) {
        TargetFacts f;
        const std::wstring path = game_ + step.target;
        // Opened once for every comparison; a file that does not open (held by another program) is
        // still there, and equals nothing.
        const Reading target(path);
        const std::optional<uint64_t> bytes = target.size() ? target.size() : fileSize(path);
        if (!bytes)
            return f;
        f.exists = true;
        f.equalsMod = *bytes == source.bytes && same(target, source.path, *bytes);
        if (f.equalsMod)
            return f;
        const std::wstring backup = backups_ + step.backup;
        if (const std::optional<uint64_t> saved = fileSize(backup)) {
            f.backup = *saved == *bytes && same(target, backup, *bytes) ? TargetFacts::Backup::Equal
                                                                        : TargetFacts::Backup::Differs;
            if (f.backup == TargetFacts::Backup::Equal)
                return f;
        }
        f.otherMod = otherModAt(step.target, target, *bytes);
        return f;
    }

private:
    // The first other mod whose file for this target the target equals.
    std::optional<size_t> otherModAt(const std::wstring& relative, const Reading& target, uint64_t bytes) {
        const std::wstring key = platform::nameKey(relative);
        for (size_t i = 0; i < others_.size() && !cancelled_; ++i) {
            if (!theirs_[i])
                theirs_[i] = placed(platform::withSlash(others_[i]));
            const auto at = theirs_[i]->byKey.find(key);
            if (at == theirs_[i]->byKey.end())
                continue;
            const Source& s = theirs_[i]->sources[at->second];
            if (s.bytes == bytes && same(target, s.path, bytes))
                return i;
        }
        return std::nullopt;
    }

    // Whether the target holds the bytes of the file `other`, both of `bytes` bytes; false when either
    // cannot be read.
    bool same(const Reading& target, const std::wstring& other, uint64_t bytes) {
        const Reading two(other);
        if (!target.rewind())
            return false;
        for (uint64_t left = bytes; left > 0 && !cancelled_;) {
            const DWORD n = static_cast<DWORD>(std::min<uint64_t>(left, kChunk));
            if (!target.next(a_.data(), n) || !two.next(b_.data(), n) ||
                std::memcmp(a_.data(), b_.data(), n) != 0)
                return false;
            left -= n;
        }
        return !cancelled_;
    }

    const std::wstring game_, backups_;
    const std::vector<std::wstring>& others_;
    std::vector<std::optional<Placed>> theirs_; // read when a target first needs them
    const std::atomic<bool>& cancelled_;
    std::vector<char> a_, b_;
};

} // namespace

std::optional<ModStatus> readStatus(const std::wstring& gameFolder, const std::wstring& modFolder,
                                    const std::vector<std::wstring>& others,
                                    const std::atomic<bool>& cancelled) {
    Placed mine = placed(platform::withSlash(modFolder));
    ModStatus status;
    status.unread = std::move(mine.unread);
    status.refusal = std::move(mine.refusal);
    status.modFiles = mine.modFiles;
    Reader reader(gameFolder, others, cancelled);
    for (size_t i = 0; i < mine.steps.size() && !cancelled; ++i)
        status.targets.push_back(stateOf(reader.factsOf(mine.steps[i], mine.sources[i])));
    if (cancelled)
        return std::nullopt;
    return status;
}

} // namespace texmods
