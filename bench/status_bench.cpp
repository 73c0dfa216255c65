// status_bench [ROUNDS [FOLDER]]: times working out the status line of an installed texture mod of
// 1,000 files of 256 KiB (in FOLDER, by default the temporary folder) against reading each of those
// files and its target once, in one process and on the same files. Prints the best time of each and
// the ratio.
#include "bench/gametree.h"
#include "platform/files.h"
#include "texmods/modstatus.h"
#include "texmods/texmods.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Reads a whole file once, as plainly as the system allows.
bool readOnce(const std::wstring& path, std::vector<char>& buffer) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (DWORD got = 1; ok && got > 0;)
        ok = ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
    CloseHandle(h);
    return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
    const bench::GameTree tree = bench::layGameTree(bench::workFolder(argc, argv));
    const texmods::Outcome installed = texmods::run(texmods::Operation::Install, tree.game, tree.modFolder);
    bool ok = installed.kind == texmods::Outcome::Kind::Done;
    const std::atomic<bool> cancelled{false};
    std::wstring line;
    std::vector<char> buffer(256 * 1024);
    double status = 1e9, plain = 1e9;
    for (int r = 0; r < rounds && ok; ++r) {
        status = std::min(status, bench::timed([&] {
                              const auto s = texmods::readStatus(tree.game, tree.modFolder, {}, cancelled);
                              line = s ? texmods::statusLine(*s, {}) : L"cancelled";
                          }));
        plain = std::min(plain, bench::timed([&] {
                             for (const bench::Copy& c : tree.copies)
                                 ok = readOnce(c.source, buffer) && readOnce(c.target, buffer) && ok;
                         }));
    }
    bench::removeTree(tree.game);
    if (!ok) {
        std::fwprintf(stderr, L"the install or a read failed\n");
        return 1;
    }
    std::fwprintf(stdout, L"%ls\n", line.c_str());
    std::fwprintf(stdout, L"best of %d rounds   status       plain reads  ratio\n", rounds);
    std::fwprintf(stdout, L"installed mod %8.3f s %10.3f s  %5.2f\n", status, plain, status / plain);
    return 0;
}
