#include "bench/gametree.h"

#include "platform/files.h"

#include <cstdio>
#include <cstdlib>

namespace bench {
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

} // namespace

std::wstring workFolder(int argc, wchar_t** argv) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return argc > 2 ? std::wstring(argv[2]) + L"\\" : std::wstring(temp);
}

GameTree layGameTree(const std::wstring& where) {
    GameTree t;
    t.game = where + L"zelq-bench-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring texpacks = t.game + L"\\zelqcfg\\texpacks";
    t.modFolder = texpacks + L"\\texmods\\bench";
    t.backups = texpacks + L"\\original";
    for (const std::wstring& f :
         {t.game, t.game + L"\\zelqcfg", texpacks, texpacks + L"\\texmods", t.modFolder, t.backups})
        mustMake(f);
    for (int d = 0; d < kFolders; ++d) {
        const std::wstring folder = L"tex" + std::to_wstring(d);
        mustMake(t.game + L"\\" + folder);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const std::wstring file = L"f" + std::to_wstring(i) + L".sz";
            const std::wstring entry = folder + L"^" + file;
            Copy c{t.modFolder + L"\\" + entry, t.game + L"\\" + folder + L"\\" + file,
                   t.backups + L"\\" + entry};
            writeFile(c.target, 'g');
            writeFile(c.source, 'm');
            t.copies.push_back(std::move(c));
        }
    }
    std::fwprintf(stdout, L"%d mod files of %u KiB in %ls\n", kFolders * kFilesPerFolder,
                  static_cast<unsigned>(kFileSize / 1024), t.game.c_str());
    return t;
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

} // namespace bench
