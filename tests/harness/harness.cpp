#include "harness/harness.h"

#include "platform/names.h"
#include "settings/ini.h"
#include "toolkit/messageloop.h"

#include <ole2.h>
#include <process.h>
#include <shellapi.h>

namespace harness {

std::optional<std::wstring> Recorder::environment(std::wstring_view name) {
    for (const auto& [k, v] : env)
        if (platform::sameName(k, name))
            return v;
    wchar_t buffer[32768];
    const DWORD n = GetEnvironmentVariableW(std::wstring(name).c_str(), buffer, 32768);
    return n ? std::optional<std::wstring>(std::wstring(buffer, n)) : std::nullopt;
}

Recorder& recorder() {
    static Recorder r;
    return r;
}

GameFolder::GameFolder(size_t minLength) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    // A blank and a character outside ASCII in the name: the program must handle any folder.
    path_ = std::wstring(temp) + L"zelq test \u00e9 " + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    makeFolder(path_);
    while (path_.size() < minLength) {
        path_ += L"\\Sp\u00e9cial \u0393\u03b5\u03b9\u03ac \u4e2d\u6587 folder";
        makeFolder(path_);
    }
    makeFolder(path_ + L"\\zelqcfg");
    settings::setAppFolder(path_);
}

namespace {
void removeTree(const std::wstring& dir) {
    for (const std::wstring& name : names(dir)) {
        const std::wstring path = dir + L"\\" + name;
        SetFileAttributesW(platform::longPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (platform::isFolder(path))
            removeTree(path);
        else
            DeleteFileW(platform::longPath(path).c_str());
    }
    RemoveDirectoryW(platform::longPath(dir).c_str());
}
} // namespace

GameFolder::~GameFolder() {
    // The deep folders go too, from the first one made.
    removeTree(path_.substr(0, path_.find(L'\\', path_.find(L"zelq test "))));
}

std::string read(const std::wstring& path) {
    std::string bytes;
    return platform::readFile(path, bytes) ? "<missing>" : bytes;
}

void write(const std::wstring& path, std::string_view bytes) {
    // Over an existing file in place: some tests' folders take no new file.
    const DWORD error = platform::exists(path) ? platform::overwriteFile(path, bytes)
                                               : platform::createFile(path, bytes, false);
    ASSERT_EQ(error, 0u) << "cannot write the test file";
}

std::vector<std::wstring> names(const std::wstring& folder) {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW(platform::longPath(folder + L"\\*").c_str(), &d);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    for (bool more = true; more; more = FindNextFileW(h, &d))
        if (std::wstring_view(d.cFileName) != L"." && std::wstring_view(d.cFileName) != L"..")
            out.push_back(d.cFileName);
    FindClose(h);
    return out;
}

HANDLE sharedEvent(const std::wstring& key, std::wstring_view what) {
    return CreateEventW(nullptr, FALSE, FALSE, (L"Local\\zelq-test-" + key + std::wstring(what)).c_str());
}

SecondCopy::SecondCopy(const std::wstring& key, std::initializer_list<const wchar_t*> events,
                       const wchar_t* filter, const std::vector<std::wstring>& args) {
    // Made before the copy starts, so that none of its signals is lost.
    for (const wchar_t* what : events)
        events_[what] = sharedEvent(key, what);
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    // The whole command line as one argument, which the runtime passes on as it is.
    std::wstring line = L"\"" + std::wstring(exe) + L"\" --gtest_filter=" + filter;
    for (const std::wstring& a : args)
        line += L" \"" + a + L"\"";
    const intptr_t copy = _wspawnl(_P_NOWAIT, exe, line.c_str(), nullptr);
    process_ = copy == -1 ? nullptr : reinterpret_cast<HANDLE>(copy);
}

SecondCopy::~SecondCopy() {
    kill();
    CloseHandle(process_);
    for (const auto& [what, event] : events_)
        CloseHandle(event);
}

bool SecondCopy::signalled(const wchar_t* what) const {
    const HANDLE either[] = {events_.at(what), process_};
    return process_ && WaitForMultipleObjects(2, either, FALSE, kPatience) == WAIT_OBJECT_0;
}

void SecondCopy::kill() const {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kPatience);
}

std::vector<std::wstring> SecondCopy::args() {
    int n = 0;
    wchar_t** arg = CommandLineToArgvW(GetCommandLineW(), &n);
    std::vector<std::wstring> out;
    if (n > 1 && std::wstring_view(arg[1]).starts_with(L"--gtest_filter="))
        out.assign(arg + 2, arg + n);
    LocalFree(arg);
    return out;
}

void WindowTest::SetUp() {
    tk::Form::unloadAll();
    rec = Recorder();
    settings::gUseOverlay = 0;
}

void WindowTest::TearDown() {
    tk::Form::unloadAll();
    pump();
}

namespace {
// The control, or no window (which takes no message) when a user could not use it.
HWND usable(tk::Form& form, std::wstring_view name, int index) {
    EXPECT_TRUE(form.loaded()) << "form not loaded";
    HWND h = form.item(name, index);
    EXPECT_TRUE(IsWindowVisible(h)) << "control not visible";
    EXPECT_TRUE(IsWindowEnabled(h)) << "control is disabled: a user could not use it";
    return IsWindowEnabled(h) ? h : nullptr;
}
} // namespace

void click(tk::Form& form, std::wstring_view name, int index) {
    SendMessageW(usable(form, name, index), BM_CLICK, 0, 0);
    pump();
}

void pick(tk::Form& form, std::wstring_view name, int position, int index) {
    if (HWND h = usable(form, name, index)) {
        SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        SendMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(h));
    }
    pump();
}

void type(tk::Form& form, std::wstring_view name, std::wstring_view text, int index) {
    SetWindowTextW(usable(form, name, index), std::wstring(text).c_str());
    pump();
}

void typeChars(tk::Form& form, std::wstring_view name, std::wstring_view chars, int index) {
    HWND h = usable(form, name, index);
    // A drop-down combo's typing goes to its edit part.
    if (HWND edit = h ? FindWindowExW(h, nullptr, L"Edit", nullptr) : nullptr)
        h = edit;
    for (wchar_t c : chars)
        SendMessageW(h, WM_CHAR, c, 1);
    pump();
}

void doubleClick(tk::Form& form, std::wstring_view name, int index) {
    HWND h = usable(form, name, index);
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(h, m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(4, 4));
    pump();
}

void closeBox(tk::Form& form) {
    SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    pump();
}

void pump() {
    tk::pumpMessages();
}

RECT placeOf(tk::Form& form, std::wstring_view name, int index) {
    RECT r;
    GetWindowRect(form.item(name, index), &r);
    MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace harness

// No real message box may ever block a test.
int main(int argc, char** argv) {
    OleInitialize(nullptr);
    platform::install(&harness::recorder());
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Closed down as the program closes down, before the process ends.
    platform::install(nullptr);
    OleUninitialize();
    return result;
}
