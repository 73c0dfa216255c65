// texmods_bench [ROUNDS [FOLDER]]: times installing and uninstalling a texture mod of 1,000 files
// of 256 KiB over a game tree (in FOLDER, by default the temporary folder), against the same work
// done with plain calls, in one process and on the same files. Prints the best time of each and
// the ratios.
#include "bench/gametree.h"
#include "texmods/texmods.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using bench::Copy;
using bench::timed;

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
    const bench::GameTree tree = bench::layGameTree(bench::workFolder(argc, argv));
    const std::wstring &game = tree.game, &modFolder = tree.modFolder;
    const std::vector<bench::Copy>& copies = tree.copies;

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
    bench::removeTree(game);
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
