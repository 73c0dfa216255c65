#include "texmods/texmods.h"

#include "platform/files.h"
#include "texmods/plan.h"

#include <algorithm>
#include <map>

namespace texmods {
namespace {

// A backup is written under this name, in the folder above the backup folder (small, so quick to
// search), and moved into the backup folder when it is complete.
constexpr wchar_t kBackupTemp[] = L"^zelq-partial.tmp";

std::wstring lowered(std::wstring s) {
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

std::wstring withSlash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

// Calls `each` for every entry of a folder but "." and "..". Returns 0 or the system's error.
template <class Each> DWORD listFolder(const std::wstring& folder, Each each) {
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileExW(platform::longPath(withSlash(folder) + L"*").c_str(), FindExInfoBasic, &d,
                                FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error;
    }
    do {
        const std::wstring_view name = d.cFileName;
        if (name != L"." && name != L"..")
            each(d);
    } while (FindNextFileW(h, &d));
    const DWORD error = GetLastError();
    FindClose(h);
    return error == ERROR_NO_MORE_FILES ? 0 : error;
}

std::wstring folderOf(const std::wstring& path) {
    return path.substr(0, path.rfind(L'\\'));
}

DWORD attributes(const std::wstring& path) {
    return GetFileAttributesW(platform::longPath(path).c_str());
}
bool present(DWORD a) {
    return a != INVALID_FILE_ATTRIBUTES;
}

struct Copier {
    const Progress& progress;
    ULONGLONG lastIdle = GetTickCount64();

    static DWORD CALLBACK onChunk(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                                  HANDLE, HANDLE, LPVOID self) {
        static_cast<Copier*>(self)->idle();
        return PROGRESS_CONTINUE;
    }
    void idle() {
        if (!progress.idle)
            return;
        const ULONGLONG now = GetTickCount64();
        if (now - lastIdle >= 50) {
            lastIdle = now;
            progress.idle();
        }
    }
    DWORD copy(const std::wstring& from, const std::wstring& to) {
        if (!CopyFileExW(platform::longPath(from).c_str(), platform::longPath(to).c_str(),
                         progress.idle ? &Copier::onChunk : nullptr, this, nullptr, 0))
            return GetLastError();
        return 0;
    }

    // Saves `target` as `backup`: written under another name first, so that a copy that fails
    // halfway never leaves a truncated file under the backup's name, which would never be
    // overwritten again and would stand for the game's file for ever.
    DWORD backUp(const std::wstring& target, const std::wstring& backup) {
        const std::wstring temp = folderOf(folderOf(backup)) + L"\\" + kBackupTemp;
        DWORD error = copy(target, temp);
        if (!error && !MoveFileExW(platform::longPath(temp).c_str(), platform::longPath(backup).c_str(), 0))
            error = GetLastError();
        if (error)
            DeleteFileW(platform::longPath(temp).c_str());
        return error;
    }

    // Copies `from` over `target` in one step, never deleting it first, so that a failing copy
    // does not leave the game without the file. The target is either unchanged or the mod's copy
    // unless the disk fails in mid-copy, and then the game's own file is still in the backup
    // folder (the backup is made before, or is the source itself).
    DWORD copyOver(const std::wstring& from, const std::wstring& target, DWORD targetAttributes) {
        if (present(targetAttributes) &&
            (targetAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
            return ERROR_ACCESS_DENIED; // as Windows refuses it; some file systems let a copy through
        return copy(from, target);
    }
};

std::wstring count(size_t n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

} // namespace

std::wstring modRoot(const std::wstring& gameFolder) {
    return withSlash(gameFolder) + L"zelqcfg\\texpacks\\texmods\\";
}
std::wstring backupFolder(const std::wstring& gameFolder) {
    return withSlash(gameFolder) + L"zelqcfg\\texpacks\\original\\";
}

DWORD listFolders(const std::wstring& folder, std::vector<std::wstring>& paths) {
    std::vector<std::wstring> names;
    const DWORD error = listFolder(folder, [&](const WIN32_FIND_DATAW& d) {
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            names.emplace_back(d.cFileName);
    });
    sortNames(names);
    paths.clear();
    for (const std::wstring& name : names)
        paths.push_back(withSlash(folder) + name);
    return error;
}

DWORD listModFolder(const std::wstring& folder, ModListing& listing) {
    listing = {};
    const DWORD error = listFolder(folder, [&](const WIN32_FIND_DATAW& d) {
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return;
        listing.files.insert(lowered(d.cFileName));
        if (!(d.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
            isModFileName(d.cFileName))
            listing.modFiles.emplace_back(d.cFileName);
    });
    sortNames(listing.modFiles);
    return error;
}

Outcome run(Operation op, const std::wstring& gameFolder, const std::wstring& modFolder,
            const Progress& progress) {
    const bool install = op == Operation::Install;
    const std::wstring game = withSlash(gameFolder), mods = withSlash(modFolder),
                       backups = backupFolder(gameFolder);
    auto failed = [](std::wstring what, std::wstring file, DWORD error, std::wstring detail) {
        return Outcome{Outcome::Kind::Failed, std::move(what), std::move(file), error, std::move(detail)};
    };
    const wchar_t* nothing = L"Nothing was copied.";

    // The plan, from the listing and the target list files, before any file is touched.
    ModListing listing;
    if (const DWORD error = listModFolder(mods, listing))
        return failed(L"The texture mod's folder could not be read:", mods, error, nothing);
    std::vector<ModFile> files;
    for (const std::wstring& name : listing.modFiles) {
        ModFile f{name, false, std::nullopt};
        if (listing.files.count(lowered(name + L".txt"))) {
            f.hasList = true;
            std::string bytes;
            if (const DWORD error = platform::readFile(mods + name + L".txt", bytes))
                return failed(L"A target list file could not be read:", mods + name + L".txt", error,
                              nothing);
            if (auto line = firstLine(bytes))
                f.firstLine = platform::fromAnsi(*line);
        }
        files.push_back(std::move(f));
    }
    const Plan plan = makePlan(files);
    if (plan.refusal) {
        std::wstring text = L"The texture mod cannot be " +
                            std::wstring(install ? L"installed" : L"uninstalled") + L". The mod file \"" +
                            plan.refusal->modFile + L"\" names a target that is not allowed";
        if (!plan.refusal->entry.empty())
            text += L", \"" + plan.refusal->entry + L"\"";
        text += L": " + plan.refusal->reason + L"\r\n\r\n" + nothing;
        Outcome o;
        o.kind = Outcome::Kind::Refused;
        o.what = std::move(text);
        return o;
    }

    // Every folder the run needs must be there before the first copy: the program creates none.
    // Each folder is listed once, rather than each file looked up, which keeps large runs fast.
    struct Folder {
        bool exists = false;
        std::map<std::wstring, DWORD> files; // by lower-case name
    };
    std::map<std::wstring, Folder> folders;
    auto folder = [&](const std::wstring& path) -> const Folder& {
        auto [it, fresh] = folders.try_emplace(lowered(path));
        if (fresh) {
            const DWORD a = attributes(path);
            it->second.exists = present(a) && (a & FILE_ATTRIBUTE_DIRECTORY);
            if (it->second.exists)
                listFolder(path, [&](const WIN32_FIND_DATAW& d) {
                    it->second.files.emplace(lowered(d.cFileName), d.dwFileAttributes);
                });
        }
        return it->second;
    };
    auto attributesOf = [&](const std::wstring& path) {
        const Folder& f = folder(folderOf(path));
        const auto it = f.files.find(lowered(path.substr(path.rfind(L'\\') + 1)));
        return it == f.files.end() ? INVALID_FILE_ATTRIBUTES : it->second;
    };
    std::vector<DWORD> targetAttributes(plan.steps.size());
    std::vector<bool> hasBackup(plan.steps.size());
    const bool backupsThere = folder(folderOf(backups)).exists;
    for (size_t i = 0; i < plan.steps.size(); ++i) {
        const Step& s = plan.steps[i];
        const std::wstring target = game + s.target;
        hasBackup[i] = present(attributesOf(backups + s.backup));
        const bool needsFolder = install || hasBackup[i];
        if (needsFolder && !folder(folderOf(target)).exists)
            return failed(L"A folder of the game that the texture mod needs does not exist:",
                          folderOf(target) + L"\\", ERROR_PATH_NOT_FOUND,
                          L"It is named by the mod file \"" + files[s.mod].name + L"\". " + nothing);
        targetAttributes[i] = attributesOf(target);
        if (install && !backupsThere && present(targetAttributes[i]))
            return failed(L"The backup folder, where the game's own files are saved, does not exist:",
                          backups, ERROR_PATH_NOT_FOUND, nothing);
    }
    std::set<std::wstring> saved, written; // backups and targets this run has made

    // The run itself, one step at a time.
    Copier copier{progress};
    const size_t total = plan.steps.size();
    if (progress.step)
        progress.step(0, total);
    for (size_t i = 0; i < total; ++i) {
        const Step& s = plan.steps[i];
        const std::wstring target = game + s.target, backup = backups + s.backup;
        std::wstring what, file = target;
        DWORD error = 0;
        if (install) {
            // Only a file that was there before the run is the game's own; a target named twice
            // is saved once.
            const bool save =
                present(targetAttributes[i]) && !hasBackup[i] && !saved.count(lowered(s.backup));
            const DWORD now = written.count(lowered(s.target)) ? FILE_ATTRIBUTE_NORMAL : targetAttributes[i];
            if (save && (error = copier.backUp(target, backup)) != 0) {
                what = L"The game's file could not be saved in the backup folder as \"" + s.backup + L"\":";
            } else if ((error = copier.copyOver(mods + files[s.mod].name, target, now)) != 0) {
                what =
                    L"The mod file \"" + files[s.mod].name + L"\" could not be copied over the game's file:";
            }
            if (save && !error)
                saved.insert(lowered(s.backup));
            if (!error)
                written.insert(lowered(s.target));
        } else if (hasBackup[i] && (error = copier.copyOver(backup, target, targetAttributes[i])) != 0) {
            what = L"The saved game file \"" + s.backup + L"\" could not be copied back over:";
        }
        if (error) {
            size_t before = 0, doneOfThis = 0;
            for (size_t j = 0; j < i; ++j)
                (plan.steps[j].mod == s.mod ? doneOfThis : before) += 1;
            const size_t modsBefore = s.mod; // every mod file before this one was handled in full
            std::wstring detail =
                std::wstring(install ? L"The install" : L"The uninstall") + L" stopped at mod file " +
                std::to_wstring(s.mod + 1) + L" of " + std::to_wstring(files.size()) + L", \"" +
                files[s.mod].name + L"\": " + count(modsBefore, L"mod file", L"mod files") + L" before it " +
                (modsBefore == 1 ? L"was " : L"were ") + (install ? L"installed" : L"uninstalled");
            if (doneOfThis)
                detail +=
                    L", and this one had reached " + count(doneOfThis, L"of its targets", L"of its targets");
            detail += L"; the rest was not touched. ";
            detail += install
                          ? L"No game file was lost: the game's own files that were replaced are saved in "
                            L"the backup folder, and Uninstall puts them back."
                          : L"The saved game files all remain in the backup folder: correct the problem and "
                            L"press Uninstall again.";
            Outcome o = failed(std::move(what), std::move(file), error, std::move(detail));
            o.steps = total;
            return o;
        }
        if (progress.step)
            progress.step(i + 1, total);
        copier.idle();
    }
    Outcome done;
    done.steps = total;
    return done;
}

} // namespace texmods
