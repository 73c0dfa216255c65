#include "settings/save.h"

#include "platform/files.h"
#include "platform/lock.h"
#include "platform/names.h"
#include "platform/report.h"
#include "platform/system.h"
#include "settings/ini.h"
#include "settings/profilecheck.h"

#include <algorithm>
#include <memory>

namespace settings {
namespace {

// Long enough for another window or copy of the program to finish its save, short enough that one
// that is stuck never hangs this one.
constexpr DWORD kLockWaitMs = 5000;

struct Job {
    const FileChange* change = nullptr;
    std::unique_ptr<platform::PathLock> lock;
    bool existed = false;
    DWORD attributes = 0;      // the file's own, which the new file takes over
    bool inPlace = false;      // the folder takes no new file: the file is written over
    std::string before, after; // the file's bytes when the save began, and as saved
    std::wstring stage;        // the new file beside the target, until it replaces it
    std::wstring backup;       // the replaced file, until every file of the save is in place
    bool done = false;         // the target holds `after`
    bool damaged = false;
};

// A settings file's text as the profile functions read it: UTF-16 or UTF-8 after a byte order
// mark, else the ANSI code page (`unicode` false).
std::wstring decode(std::string_view bytes, bool& unicode) {
    unicode = true;
    if (bytes.size() >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")) {
        const bool big = bytes[0] == '\xFE';
        std::wstring out;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto lo = static_cast<unsigned char>(bytes[big ? i + 1 : i]);
            const auto hi = static_cast<unsigned char>(bytes[big ? i : i + 1]);
            out += static_cast<wchar_t>(lo | hi << 8);
        }
        return out;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return platform::fromCodePage(CP_UTF8, bytes.substr(3));
    unicode = false;
    return platform::fromAnsi(bytes);
}

// Whether the profile writer's result in `bytes` holds every key as written and every other
// line of the file as it was.
bool holdsTheSave(const Job& job, const std::wstring& file, const std::string& bytes) {
    const std::vector<KeyValue>& keys = job.change->keys;
    bool unicode = false, ignored = false;
    const std::wstring now = decode(bytes, unicode);
    std::vector<WrittenKey> written;
    for (const KeyValue& kv : keys)
        written.push_back({kv.section, kv.key});
    if (!keepsOtherLines(decode(job.before, ignored), now, written, platform::sameName))
        return false;
    const ProfileReader reader(file);
    for (size_t i = 0; i < keys.size(); ++i) {
        const KeyValue& kv = keys[i];
        const bool writtenAgain =
            std::any_of(keys.begin() + static_cast<ptrdiff_t>(i) + 1, keys.end(), [&](const KeyValue& later) {
                return platform::sameName(later.section, kv.section) && platform::sameName(later.key, kv.key);
            });
        if (writtenAgain)
            continue;
        // An ANSI file keeps what the code page can hold of the value.
        const std::wstring stored = unicode ? kv.value : platform::fromAnsi(platform::toAnsi(kv.value));
        if (reader.value(kv.section, kv.key) != asRead(stored))
            return false;
    }
    return true;
}

// The reason to give when the profile writer reported success but the copy does not hold the save.
DWORD notHeld(const Job& job, const std::wstring& file) {
    const std::wstring folder = platform::folderOf(file);
    ULARGE_INTEGER room{};
    if (!folder.empty() && GetDiskFreeSpaceExW(platform::longPath(folder).c_str(), &room, nullptr, nullptr) &&
        room.QuadPart < job.before.size() + (64u << 10))
        return ERROR_DISK_FULL;
    return ERROR_INVALID_DATA; // a value the file cannot hold, such as a line break
}

// Writes the keys into `file`, a copy of the target, then checks it.
DWORD applyKeys(Job& job, const std::wstring& file) {
    for (const KeyValue& kv : job.change->keys) {
        SetLastError(0);
        if (!WritePrivateProfileStringW(kv.section.c_str(), kv.key.c_str(), kv.value.c_str(), file.c_str())) {
            const DWORD error = GetLastError();
            return error ? error : ERROR_WRITE_FAULT;
        }
    }
    // The writer may keep the file in memory: the check must read what reached the disk.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
    std::string bytes;
    if (const DWORD error = platform::readFile(file, bytes))
        return error;
    if (!holdsTheSave(job, file, bytes))
        return notHeld(job, file);
    job.after = std::move(bytes);
    return 0;
}

DWORD flush(const std::wstring& file) {
    HANDLE h = CreateFileW(platform::longPath(file).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError();
    const DWORD error = FlushFileBuffers(h) ? 0 : GetLastError();
    CloseHandle(h);
    return error;
}

// Makes the new text in a working copy under the temporary folder, for a target that the profile
// functions cannot reach (a path too long) or whose folder takes no new file.
DWORD applyInTemp(Job& job) {
    const std::wstring work = platform::tempName(job.change->path);
    if (work.empty())
        return ERROR_FILENAME_EXCED_RANGE;
    DWORD error = platform::createFile(work, job.before, false);
    if (!error)
        error = applyKeys(job, work);
    platform::removeFile(work);
    return error;
}

DWORD readTarget(Job& job) {
    const std::wstring& path = job.change->path;
    const DWORD attributes = GetFileAttributesW(platform::longPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : error;
    }
    // The system refuses to replace a read-only file on Windows; the same holds here whoever runs
    // the program.
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_ACCESS_DENIED;
    job.existed = true;
    job.attributes = attributes;
    return platform::readFile(path, job.before);
}

// Where a file's new text is made.
enum class Making {
    Given,      // the change holds the whole text
    KeysBeside, // the profile writer changes the copy beside the target that then replaces it
    KeysInTemp, // the profile writer changes a working copy under the temporary folder
};

Making makingOf(const FileChange& change, const std::wstring& stage) {
    if (change.text)
        return Making::Given;
    // The profile functions take no path of MAX_PATH characters or more.
    return stage.size() < MAX_PATH ? Making::KeysBeside : Making::KeysInTemp;
}

// Makes the file's new text, checked, in a new file beside the target, or in memory when the
// folder takes no new file but the target can be written over.
DWORD prepare(Job& job) {
    const FileChange& change = *job.change;
    const std::wstring stage = platform::besideName(change.path, L"tmp");
    const Making making = makingOf(change, stage);
    if (making == Making::Given)
        job.after = *change.text;
    else if (making == Making::KeysInTemp)
        if (const DWORD error = applyInTemp(job))
            return error;
    const bool beside = making == Making::KeysBeside;
    // The copy that the profile writer is about to change is flushed once it holds the save.
    const DWORD error = platform::createFile(stage, beside ? job.before : job.after, !beside);
    if (!error) {
        job.stage = stage;
        if (!beside)
            return 0;
        const DWORD keysError = applyKeys(job, stage);
        return keysError ? keysError : flush(stage);
    }
    // Only a folder that refuses new files (a full disk does not count) has its file written over.
    if (error != ERROR_ACCESS_DENIED || !job.existed || !platform::canWrite(change.path))
        return error;
    job.inPlace = true;
    return beside ? applyInTemp(job) : 0;
}

// One rename. Whoever reads the file (another window or program) holds it open for a moment, and
// the system replaces no file that is open: try again for up to two seconds.
bool renameOver(const std::wstring& from, const std::wstring& to, DWORD flags) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(platform::longPath(from).c_str(), platform::longPath(to).c_str(), flags))
            return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt == 100) {
            SetLastError(error);
            return false;
        }
        Sleep(20);
    }
}

DWORD commit(Job& job, bool keepBackup) {
    const std::wstring& path = job.change->path;
    if (job.inPlace) {
        if (const DWORD error = platform::overwriteFile(path, job.after)) {
            job.damaged = platform::overwriteFile(path, job.before) != 0;
            return error;
        }
        job.done = true;
        return 0;
    }
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (job.existed) {
        if (keepBackup) {
            // The old file under a second name, to be put back if another file of the save fails.
            const std::wstring backup = platform::besideName(path, L"bak");
            if (const DWORD error = platform::linkOrCopy(path, backup))
                return error;
            job.backup = backup;
        }
        SetFileAttributesW(platform::longPath(job.stage).c_str(), job.attributes);
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    // One rename: whenever the program is stopped, the file is the old one or the new one. (The
    // system's ReplaceFile is no such single step under Wine, nor with long paths there.)
    if (!renameOver(job.stage, path, flags))
        return GetLastError();
    job.stage.clear();
    job.done = true;
    return 0;
}

// Puts a file that was already replaced back as it was; false when that failed.
bool undo(Job& job) {
    if (!job.done)
        return true;
    const std::wstring target = platform::longPath(job.change->path);
    bool ok = false;
    if (job.inPlace)
        ok = platform::overwriteFile(job.change->path, job.before) == 0;
    else if (!job.existed)
        ok = DeleteFileW(target.c_str()) != 0;
    else
        ok = renameOver(job.backup, job.change->path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (ok) {
        job.backup.clear();
        job.done = false;
    }
    return ok;
}

// Every copy of the program takes the locks in one order, so two saves never wait on each other.
std::optional<SaveFailure> lockAll(std::vector<Job>& jobs) {
    std::vector<Job*> order;
    for (Job& job : jobs)
        order.push_back(&job);
    std::sort(order.begin(), order.end(), [](const Job* a, const Job* b) {
        return platform::nameKey(a->change->path) < platform::nameKey(b->change->path);
    });
    for (Job* job : order) {
        job->lock = std::make_unique<platform::PathLock>(L"settings", job->change->path);
        if (!job->lock->acquire(kLockWaitMs)) {
            const DWORD error = job->lock->error();
            return SaveFailure{job->change->path,
                               error == ERROR_TIMEOUT ? DWORD{ERROR_SHARING_VIOLATION} : error};
        }
    }
    return std::nullopt;
}

// Puts every prepared file in place or, on failure, puts back those already replaced.
std::optional<SaveFailure> commitAll(std::vector<Job>& jobs) {
    // Files written over in place come last: a replaced file is put back by a rename, one written
    // over only by writing it over again.
    std::vector<Job*> sequence;
    for (bool inPlace : {false, true})
        for (Job& job : jobs)
            if (job.inPlace == inPlace)
                sequence.push_back(&job);
    platform::sys().checkpoint(L"settings staged");
    std::optional<SaveFailure> failure;
    for (Job* job : sequence) {
        if (const DWORD error = commit(*job, jobs.size() > 1)) {
            failure = SaveFailure{job->change->path, error, {}, job->damaged};
            break;
        }
        platform::sys().checkpoint(L"settings replaced");
    }
    if (failure)
        for (auto it = sequence.rbegin(); it != sequence.rend(); ++it)
            if (!undo(**it))
                failure->kept.push_back((*it)->change->path);
    return failure;
}

} // namespace

std::optional<SaveFailure> writeFiles(const std::vector<FileChange>& changes) {
    std::vector<Job> jobs(changes.size());
    for (size_t i = 0; i < changes.size(); ++i)
        jobs[i].change = &changes[i];
    if (auto failure = lockAll(jobs))
        return failure;
    std::optional<SaveFailure> failure;
    for (Job& job : jobs) {
        platform::removeLeftovers(job.change->path);
        DWORD error = readTarget(job);
        if (!error)
            error = prepare(job);
        if (error) {
            failure = SaveFailure{job.change->path, error};
            break;
        }
    }
    if (!failure)
        failure = commitAll(jobs);
    for (Job& job : jobs) {
        platform::removeFile(job.stage);
        platform::removeFile(job.backup);
    }
    return failure;
}

bool saveFiles(HWND owner, const std::vector<FileChange>& changes) {
    const std::optional<SaveFailure> failure = writeFiles(changes);
    if (!failure)
        return true;
    report::saveFailed(owner, failure->file, failure->error, failure->kept, failure->damaged);
    return false;
}

DWORD WriteIni(const std::wstring& fileName, std::wstring_view section, std::wstring_view keyName,
               std::wstring_view value) {
    const auto failure = writeFiles(
        {{.path = fileName, .keys = {{std::wstring(section), std::wstring(keyName), std::wstring(value)}}}});
    return failure ? failure->error : 0;
}

} // namespace settings
