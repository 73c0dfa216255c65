#pragma once
// What the texture mod benchmarks share: a game tree of 1,000 files of 256 KiB in ten folders with
// a mod that replaces them all, and a timer.
#include <windows.h>

#include <string>
#include <vector>

namespace bench {

// One game file, the mod file that replaces it, and its place in the backup folder.
struct Copy {
    std::wstring source, target, backup;
};

struct GameTree {
    std::wstring game, modFolder, backups;
    std::vector<Copy> copies;
};

// The folder given on the command line after the number of rounds, else the temporary folder.
std::wstring workFolder(int argc, wchar_t** argv);
// Lays the tree out in a new folder of `where` and says so; ends the program when it cannot.
GameTree layGameTree(const std::wstring& where);
void removeTree(const std::wstring& dir);

double seconds(LARGE_INTEGER from, LARGE_INTEGER to);
template <class F> double timed(F f) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    f();
    QueryPerformanceCounter(&b);
    return seconds(a, b);
}

} // namespace bench
