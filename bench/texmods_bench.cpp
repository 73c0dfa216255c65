// texmods_bench [ROUNDS [FOLDER]]: times installing and uninstalling a texture mod of 1,000 files
// of 256 KiB over a game tree (in FOLDER, by default the temporary folder), against the same work
// done with plain calls, in one process and on the same files. Prints the best time of each and
// the ratios.
#include "platform/files.h"
#include "texmods/texmods.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kFolders = 10, kFilesPerFolder = 100;
constexpr size_t kFileSize = 256 * 1024;

void mustMake(const std::wstring& folder) {
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        std::fwprintf(stderr, L"cannot create %ls\n", folder.c_str());
        std::exit(1);
    }
}

void writeFile(const std::wstring& path, char fill) {
    const std::string bytes(kFileSize, fill);
    if (platform::createFile(path, bytes, false)) {
        std::fwprintf(stderr, L"cannot write %ls\n", path.c_str());
        std::exit(1);
    }
}

void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = d.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring p = dir + L"\\" + name;
            if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(p);
            else
                DeleteFileW(p.c_str());
        } while (FindNextFileW(h, &d));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

double seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

template <class F> double timed(F f) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    f();
    QueryPerformanceCounter(&b);
    return seconds(a, b);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring where = argc > 2 ? std::wstring(argv[2]) + L"\\" : std::wstring(temp);
    const std::wstring game = where + L"zelq-bench-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring texpacks = game + L"\\zelqcfg\\texpacks";
    const std::wstring modFolder = texpacks + L"\\texmods\\bench";
    const std::wstring backups = texpacks + L"\\original";
    for (const std::wstring& f :
         {game, game + L"\\zelqcfg", texpacks, texpacks + L"\\texmods", modFolder, backups})
        mustMake(f);

    // The game's own files, and the mod's files that replace them.
    struct Copy {
        std::wstring source, target, backup;
    };
    std::vector<Copy> copies;
    for (int d = 0; d < kFolders; ++d) {
        const std::wstring folder = L"tex" + std::to_wstring(d);
        mustMake(game + L"\\" + folder);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const std::wstring file = L"f" + std::to_wstring(i) + L".sz";
            const std::wstring entry = folder + L"^" + file;
            Copy c{modFolder + L"\\" + entry, game + L"\\" + folder + L"\\" + file, backups + L"\\" + entry};
            writeFile(c.target, 'g');
            writeFile(c.source, 'm');
            copies.push_back(std::move(c));
        }
    }
    std::fwprintf(stdout, L"%d mod files of %u KiB in %ls\n", kFolders * kFilesPerFolder,
                  static_cast<unsigned>(kFileSize / 1024), game.c_str());

    auto clearBackups = [&] {
        for (const Copy& c : copies)
            DeleteFileW(c.backup.c_str());
    };
    bool ok = true;
    auto check = [&](const texmods::Outcome& o) {
        if (o.kind != texmods::Outcome::Kind::Done || o.steps != copies.size()) {
            std::fwprintf(stderr, L"run failed: %ls %ls (error %lu)\n", o.what.c_str(), o.file.c_str(),
                          o.error);
            ok = false;
        }
    };
    // The baselines: the plain steps made with plain calls (save the game's file by a copy,
    // delete the target, copy the mod's file to it; to restore, delete the target and copy the
    // backup), and the same copies made over the existing targets instead, which under Wine costs
    // less than creating a file.
    double install = 1e9, uninstall = 1e9, baseInstall = 1e9, baseUninstall = 1e9, overInstall = 1e9,
           overUninstall = 1e9;
    for (int r = 0; r < rounds && ok; ++r) {
        clearBackups();
        install = std::min(install,
                           timed([&] { check(texmods::run(texmods::Operation::Install, game, modFolder)); }));
        uninstall = std::min(
            uninstall, timed([&] { check(texmods::run(texmods::Operation::Uninstall, game, modFolder)); }));
        clearBackups();
        baseInstall = std::min(baseInstall, timed([&] {
                                   for (const Copy& c : copies)
                                       ok = CopyFileW(c.target.c_str(), c.backup.c_str(), TRUE) &&
                                            DeleteFileW(c.target.c_str()) &&
                                            CopyFileW(c.source.c_str(), c.target.c_str(), TRUE) && ok;
                               }));
        baseUninstall = std::min(baseUninstall, timed([&] {
                                     for (const Copy& c : copies)
                                         ok = DeleteFileW(c.target.c_str()) &&
                                              CopyFileW(c.backup.c_str(), c.target.c_str(), TRUE) && ok;
                                 }));
        clearBackups();
        overInstall = std::min(overInstall, timed([&] {
                                   for (const Copy& c : copies)
                                       ok = CopyFileW(c.target.c_str(), c.backup.c_str(), FALSE) &&
                                            CopyFileW(c.source.c_str(), c.target.c_str(), FALSE) && ok;
                               }));
        overUninstall = std::min(overUninstall, timed([&] {
                                     for (const Copy& c : copies)
                                         ok = CopyFileW(c.backup.c_str(), c.target.c_str(), FALSE) && ok;
                                 }));
    }
    removeTree(game);
    if (!ok) {
        std::fwprintf(stderr, L"a copy failed\n");
        return 1;
    }
    std::fwprintf(stdout, L"best of %d rounds   manager      plain steps  ratio   copies over  ratio\n",
                  rounds);
    std::fwprintf(stdout, L"install   %12.3f s %12.3f s  %5.2f %10.3f s  %5.2f\n", install, baseInstall,
                  install / baseInstall, overInstall, install / overInstall);
    std::fwprintf(stdout, L"uninstall %12.3f s %12.3f s  %5.2f %10.3f s  %5.2f\n", uninstall, baseUninstall,
                  uninstall / baseUninstall, overUninstall, uninstall / overUninstall);
    return 0;
}
