// Start-up benchmark (not a test): times building and showing each window with its files loaded,
// against a baseline in the same process that builds and shows a bare window with the same number
// of plain controls. Prints times, ratios, the program's size and the peak working set with every
// window open. Usage: startup_bench [PATH_TO_ZelqConfig.exe]
#include "app/mainform.h"
#include "bench/gametree.h"
#include "bench/windows.h"
#include "platform/system.h"
#include "settings/ini.h"
#include "toolkit/messageloop.h"

#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

class Silent : public platform::System {
public:
    void message(HWND, std::wstring_view, std::wstring_view, platform::Icon) override {}
    void endProgram() override {}
    DWORD start(const std::wstring&, const std::wstring&, int) override { return 0; }
    bool isUserAdmin() override { return true; }
    std::optional<std::wstring> environment(std::wstring_view) override { return std::nullopt; }
};

double now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// Median of several runs, in milliseconds.
double timeIt(const std::function<void()>& run, int rounds = 31) {
    std::vector<double> t;
    for (int i = 0; i < rounds; ++i) {
        const double start = now();
        run();
        t.push_back(now() - start);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

LRESULT CALLBACK bareProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcW(h, m, w, l);
}

// A bare window with `count` plain controls of the same classes a form uses.
void bareWindow(int count) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = bareProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BareBench";
        RegisterClassW(&wc);
        registered = true;
    }
    HWND w = CreateWindowExW(0, L"BareBench", L"Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 540,
                             360, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const wchar_t* classes[] = {L"STATIC", L"BUTTON", L"EDIT", L"COMBOBOX"};
    for (int i = 0; i < count; ++i)
        CreateWindowExW(0, classes[i % 4], L"Text", WS_CHILD | WS_VISIBLE, 10, 10 + i * 4, 100, 20, w,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(w, SW_SHOW);
    tk::pumpMessages();
    DestroyWindow(w);
    tk::pumpMessages();
}

std::wstring makeGameFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"zelq-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    CreateDirectoryW((dir + L"\\zelqcfg").c_str(), nullptr);
    auto put = [](const std::wstring& path, const char* text) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(h, text, static_cast<DWORD>(strlen(text)), &n, nullptr);
        CloseHandle(h);
    };
    put(dir + L"\\morvex2006.ini",
        "DX/ADAPTER = 0\r\nDX/RES/WIDTH = 1024\r\nDX/RES/HEIGHT = 768\r\n"
        "DX/ANTIALIASING = 1\r\nDX/FOG = 1\r\nLANGUAGE = 0\r\nDX/WINDOWED = 0\r\n");
    put(dir + L"\\zelqcfg\\settings.ini", "[General]\r\nSleepTime=10\r\nUseOverlay=0\r\nJSOverride=1\r\n");
    return dir;
}

} // namespace

int main(int argc, char** argv) {
    OleInitialize(nullptr);
    Silent silent;
    platform::install(&silent);
    const std::wstring game = makeGameFolder();
    settings::setAppFolder(game);

    std::printf("%-18s %9s %9s %7s\n", "window", "ms", "bare ms", "ratio");
    for (const bench::Window& w : bench::windows()) {
        const int controls = static_cast<int>(w.form().spec().controls.size());
        const double mine = timeIt([&] {
            tk::Form& f = w.open();
            tk::pumpMessages();
            f.unload();
            tk::pumpMessages();
        });
        const double bare = timeIt([&] { bareWindow(controls); });
        std::printf("%-18ls %9.2f %9.2f %7.2f\n", std::wstring(w.form().spec().name).c_str(), mine, bare,
                    mine / bare);
    }

    for (const bench::Window& w : bench::windows())
        w.open();
    tk::pumpMessages();
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    std::printf("peak working set with every window open: %.1f MiB\n",
                static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0));
    tk::Form::unloadAll();
    // Left behind, the folder would count as a leftover for the tests that run in the same prefix.
    bench::removeTree(game);

    if (argc > 1) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExA(argv[1], GetFileExInfoStandard, &data))
            std::printf("program size: %lu bytes (%.2f MiB)\n", static_cast<unsigned long>(data.nFileSizeLow),
                        data.nFileSizeLow / (1024.0 * 1024.0));
    }
    return 0;
}
