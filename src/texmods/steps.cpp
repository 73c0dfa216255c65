// Carrying out a checked plan one step at a time. Every copy goes to a new work file first and is
// renamed into place, so that a game file is at every moment whole: the old file or the new one.
#include "platform/files.h"
#include "platform/system.h"
#include "texmods/wording.h"
#include "texmods/work.h"

#include <optional>

namespace texmods {
namespace {

// Without MOVEFILE_REPLACE_EXISTING a rename onto an existing name fails, so no backup is ever
// overwritten.
DWORD moveFile(const std::wstring& from, const std::wstring& to, DWORD flags = 0) {
    return MoveFileExW(platform::longPath(from).c_str(), platform::longPath(to).c_str(), flags)
               ? 0
               : GetLastError();
}

class Steps {
public:
    Steps(const Work& w, const Progress& progress) : w_(w), progress_(progress), stem_(workStem(w)) {}

    // Install: the mod's file is copied in whole under a work name. The game's file, when it has
    // no backup yet, is moved into the backup folder and the copy renamed into its place; a file
    // saved already is replaced by the copy in one rename.
    std::optional<StepFailure> install(size_t i) {
        const std::wstring target = w_.target(i), backup = w_.backup(i);
        std::wstring fresh;
        if (const DWORD e = copyIn(w_.source(i), fresh))
            return StepFailure{Action::CopyIn, e};
        // Only a file that was there before the run can be the game's own. The move, which
        // never replaces, tells whether the backup exists, whatever the case of either name.
        if (!w_.before[i].target.exists)
            return replace(i, fresh);
        const DWORD e = moveFile(target, backup);
        if (e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS || e == ERROR_FILE_NOT_FOUND)
            return replace(i, fresh); // saved already, or gone
        if (e) {
            platform::removeFile(fresh);
            return StepFailure{Action::Save, e};
        }
        platform::sys().checkpoint(L"texmods saved");
        // The target's name is free now.
        const DWORD put = moveFile(fresh, target, MOVEFILE_REPLACE_EXISTING);
        if (!put)
            return std::nullopt;
        platform::removeFile(fresh);
        const Left left = moveFile(backup, target) ? Left::GameFileInBackup : Left::PutBack;
        return StepFailure{Action::PutInPlace, put, left};
    }

    // Uninstall: the backup is copied in whole under a work name, then replaces the mod's file.
    std::optional<StepFailure> restore(size_t i) {
        std::wstring fresh;
        if (const DWORD e = copyIn(w_.backup(i), fresh))
            return StepFailure{Action::CopyIn, e};
        return replace(i, fresh);
    }

    void idle() {
        if (!progress_.idle)
            return;
        const ULONGLONG now = GetTickCount64();
        if (now - lastIdle_ >= 50) {
            lastIdle_ = now;
            progress_.idle();
        }
    }

private:
    static DWORD CALLBACK onChunk(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                                  HANDLE, HANDLE, LPVOID self) {
        static_cast<Steps*>(self)->idle();
        return PROGRESS_CONTINUE;
    }

    // Puts the work file `fresh` in the target's place, whatever is there: in one rename that
    // replaces it, so that the target is at every moment the old file or the new one. A hidden or
    // system file is first moved aside instead (Windows' rules for replacing those differ between
    // its calls), and moved back should the rename fail.
    std::optional<StepFailure> replace(size_t i, const std::wstring& fresh) {
        const std::wstring target = w_.target(i);
        if (!hidden(i)) {
            if (const DWORD e = moveFile(fresh, target, MOVEFILE_REPLACE_EXISTING)) {
                platform::removeFile(fresh);
                return StepFailure{Action::PutInPlace, e};
            }
            return std::nullopt;
        }
        std::wstring aside;
        const DWORD e = moveAside(target, aside);
        if (e && e != ERROR_FILE_NOT_FOUND) {
            platform::removeFile(fresh);
            return StepFailure{Action::Aside, e};
        }
        if (const DWORD put = moveFile(fresh, target)) {
            platform::removeFile(fresh);
            StepFailure f{Action::PutInPlace, put, Left::AsItWas, aside};
            if (!e)
                f.left = moveFile(aside, target) ? asideLeft(i) : Left::PutBack;
            return f;
        }
        if (!e)
            platform::removeFile(aside);
        return std::nullopt;
    }

    bool hidden(size_t i) const {
        return w_.before[i].target.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    }
    Left asideLeft(size_t i) const {
        return platform::exists(w_.backup(i)) ? Left::ModFileAside : Left::ModFileAsideNoGameFile;
    }
    // A work file name no other run uses; a name left over from a run that was killed is skipped.
    template <class Make> DWORD intoWorkFile(std::wstring& name, Make make) {
        for (int attempt = 0;; ++attempt) {
            name = platform::workName(stem_, L"tmp");
            const DWORD e = make(name);
            if ((e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) || attempt == 16)
                return e;
        }
    }
    DWORD copyIn(const std::wstring& from, std::wstring& fresh) {
        return intoWorkFile(fresh, [&](const std::wstring& to) -> DWORD {
            if (CopyFileExW(platform::longPath(from).c_str(), platform::longPath(to).c_str(),
                            progress_.idle ? &Steps::onChunk : nullptr, this, nullptr,
                            COPY_FILE_FAIL_IF_EXISTS)) {
                // A hidden or system game file comes back as it was.
                const DWORD e = platform::copyAttributes(from, to);
                if (e)
                    platform::removeFile(to);
                return e;
            }
            const DWORD e = GetLastError();
            if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS)
                platform::removeFile(to); // what a failed copy left, if anything
            return e;
        });
    }
    DWORD moveAside(const std::wstring& target, std::wstring& aside) {
        return intoWorkFile(aside, [&](const std::wstring& to) { return moveFile(target, to); });
    }

    const Work& w_;
    const Progress& progress_;
    const std::wstring stem_;
    ULONGLONG lastIdle_ = GetTickCount64();
};

} // namespace

std::wstring workStem(const Work& w) {
    // The backup folder's path ends in "\original\".
    const std::wstring texpacks = w.backups.substr(0, w.backups.rfind(L'\\', w.backups.size() - 2) + 1);
    return texpacks + L"^zelq-";
}

Outcome execute(const Work& w, const Progress& progress) {
    Steps steps(w, progress);
    const size_t total = w.plan.steps.size();
    if (progress.step)
        progress.step(0, total);
    for (size_t i = 0; i < total; ++i) {
        if (w.acts(i))
            if (auto failure = w.install ? steps.install(i) : steps.restore(i))
                return stepFailed(w, i, *failure);
        platform::sys().checkpoint(L"texmods step");
        if (progress.step)
            progress.step(i + 1, total);
        steps.idle();
    }
    Outcome done;
    done.steps = total;
    return done;
}

} // namespace texmods
