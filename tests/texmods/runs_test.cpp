// Texture mod runs against what the player's machine can do to them: a second copy of the program
// installing at the same moment, a copy killed in the middle of a run, a disk that fills up.
#include "harness/harness.h"
#include "platform/files.h"
#include "settings/ini.h"
#include "texmods/texmodform.h"

#include <algorithm>
#include <map>

using namespace harness;

namespace {

std::wstring env(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

bool contains(const std::wstring& text, std::wstring_view part) {
    return text.find(part) != std::wstring::npos;
}

size_t countFiles(const std::wstring& folder, const wchar_t* pattern = L"*") {
    size_t n = 0;
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW((folder + L"\\" + pattern).c_str(), &d);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do
        n += !(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileW(h, &d));
    FindClose(h);
    return n;
}

// A game folder with `files` game files under tex\ and mods replacing them all.
struct Layout {
    std::wstring game, texpacks, backups;
    int files;
    Layout(std::wstring folder, int count, std::initializer_list<const wchar_t*> mods, size_t gameBytes = 0,
           size_t modBytes = 0)
        : game(std::move(folder)), texpacks(game + L"\\zelqcfg\\texpacks"), backups(texpacks + L"\\original"),
          files(count), gameBytes_(gameBytes), modBytes_(modBytes) {
        for (const std::wstring& f :
             {game, game + L"\\zelqcfg", texpacks, texpacks + L"\\texmods", backups, game + L"\\tex"})
            makeFolder(f);
        for (const wchar_t* m : mods) {
            makeFolder(modFolder(m));
            for (int i = 0; i < files; ++i)
                write(modFolder(m) + L"\\tex^f" + std::to_wstring(i) + L".sz", content(m, i));
        }
        reset();
    }
    std::wstring modFolder(const std::wstring& mod) const { return texpacks + L"\\texmods\\" + mod; }
    std::wstring target(int i) const { return game + L"\\tex\\f" + std::to_wstring(i) + L".sz"; }
    std::wstring backup(int i) const { return backups + L"\\tex^f" + std::to_wstring(i) + L".sz"; }
    // Distinct bytes for every file of every owner, of the size asked for.
    std::string content(const std::wstring& owner, int i) const {
        std::string s = platform::toAnsi(owner) + " " + std::to_string(i) + " ";
        const size_t size = owner == L"game" ? gameBytes_ : modBytes_;
        while (s.size() < size)
            s += s;
        return size ? s.substr(0, size) : s;
    }
    // The game's own files back, no backups.
    void reset() const {
        for (int i = 0; i < files; ++i) {
            DeleteFileW(backup(i).c_str());
            write(target(i), content(L"game", i));
        }
    }
    bool noWorkFiles() const { return countFiles(texpacks, L"^zelq-*") == 0; }

private:
    size_t gameBytes_, modBytes_;
};

// Another copy of the program: this test program, running only TexModRunsChild, which opens the
// texture mod window on one mod and presses Install when told, then writes the messages it showed.
class Child {
public:
    Child(const std::wstring& game, const std::wstring& mod, const std::wstring& start) {
        const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count_);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        out_ = std::wstring(temp) + L"zelq-child-" + tag + L".txt";
        const std::wstring readyName = L"Local\\zelq-child-ready-" + tag;
        ready_ = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
        const std::pair<const wchar_t*, std::wstring> vars[] = {{L"ZELQ_CHILD_GAME", game},
                                                                {L"ZELQ_CHILD_MOD", mod},
                                                                {L"ZELQ_CHILD_OUT", out_},
                                                                {L"ZELQ_CHILD_READY", readyName},
                                                                {L"ZELQ_CHILD_START", start}};
        for (const auto& [name, value] : vars)
            SetEnvironmentVariableW(name, value.c_str());
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring line =
            L"\"" + std::wstring(exe) + L"\" --gtest_filter=TexModRunsChild.* --gtest_brief=1";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = CreateProcessW(exe, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
        for (const auto& [name, value] : vars)
            SetEnvironmentVariableW(name, nullptr);
    }
    ~Child() {
        if (started_) {
            TerminateProcess(pi_.hProcess, 1);
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        CloseHandle(ready_);
        DeleteFileW(out_.c_str());
    }
    bool ready() const { return started_ && WaitForSingleObject(ready_, 60000) == WAIT_OBJECT_0; }
    void kill() const {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 10000);
    }
    // The messages the copy showed: title, line break, text, for each.
    std::wstring messages() const {
        if (WaitForSingleObject(pi_.hProcess, 60000) != WAIT_OBJECT_0)
            return L"<still running>";
        const std::string bytes = read(out_);
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    }

private:
    static inline int count_ = 0;
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
    HANDLE ready_ = nullptr;
    std::wstring out_;
};

const wchar_t kCompleted[] = L"Successful Install\nInstall Complete.\n";

} // namespace

class TexModRunsChild : public WindowTest {};

TEST_F(TexModRunsChild, InstallsWhenTold) {
    const std::wstring game = env(L"ZELQ_CHILD_GAME");
    if (game.empty())
        GTEST_SKIP() << "a second copy of the program, started by the TexModRuns tests";
    settings::setAppFolder(game);
    texmods::frmTexMod& form = texmods::texModForm();
    form.show();
    for (int p = 0; p < form.count(L"cmbMods"); ++p)
        if (form.itemText(L"cmbMods", p) == env(L"ZELQ_CHILD_MOD"))
            pick(form, L"cmbMods", p);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, env(L"ZELQ_CHILD_READY").c_str());
    HANDLE start = OpenEventW(SYNCHRONIZE, FALSE, env(L"ZELQ_CHILD_START").c_str());
    ASSERT_TRUE(ready && start);
    SetEvent(ready);
    ASSERT_EQ(WaitForSingleObject(start, 60000), WAIT_OBJECT_0);
    click(form, L"cmdInstall");
    std::wstring out;
    for (const Message& m : rec.messages)
        out += m.title + L"\n" + m.text + L"\n";
    write(env(L"ZELQ_CHILD_OUT"),
          std::string(reinterpret_cast<const char*>(out.data()), out.size() * sizeof(wchar_t)));
    CloseHandle(ready);
    CloseHandle(start);
}

class TexModRuns : public WindowTest {
protected:
    GameFolder folder;
};

TEST_F(TexModRuns, TwoCopiesInstallingAtOnceNeverSaveAModsFileAsTheGames) {
    const Layout l(folder.path(), 300, {L"a", L"b"});
    int refused = 0;
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        l.reset();
        const std::wstring startName = L"Local\\zelq-start-" + std::to_wstring(GetCurrentProcessId());
        HANDLE start = CreateEventW(nullptr, TRUE, FALSE, startName.c_str());
        {
            Child a(l.game, L"a", startName), b(l.game, L"b", startName);
            ASSERT_TRUE(a.ready() && b.ready());
            SetEvent(start);
            const std::wstring said[] = {a.messages(), b.messages()};
            int completed = 0;
            for (const std::wstring& text : said) {
                if (text == kCompleted) {
                    ++completed;
                    continue;
                }
                ++refused;
                EXPECT_TRUE(contains(text, L"Install Failed\n")) << testing::PrintToString(text);
                EXPECT_TRUE(contains(text, L"another install or uninstall of texture mods is running"));
                EXPECT_TRUE(contains(text, L"Nothing was changed."));
            }
            ASSERT_GE(completed, 1);
        }
        CloseHandle(start);
        // Every backup holds the game's own file; every game file is one mod's, all the same mod's.
        const std::string first = read(l.target(0));
        const std::wstring winner = first == l.content(L"a", 0) ? L"a" : L"b";
        for (int i = 0; i < l.files; ++i) {
            ASSERT_EQ(read(l.backup(i)), l.content(L"game", i)) << i;
            ASSERT_EQ(read(l.target(i)), l.content(winner, i)) << i;
        }
        EXPECT_TRUE(l.noWorkFiles());
    }
    EXPECT_GE(refused, 1) << "the two copies never ran at the same moment, so this proved nothing";
}

TEST_F(TexModRuns, AKilledRunLeavesEveryGameFileWholeAndTheNextRunCleansUp) {
    const Layout l(folder.path(), 1000, {L"a"});
    const std::wstring startName = L"Local\\zelq-start-kill-" + std::to_wstring(GetCurrentProcessId());
    HANDLE start = CreateEventW(nullptr, TRUE, FALSE, startName.c_str());
    {
        Child a(l.game, L"a", startName);
        ASSERT_TRUE(a.ready());
        SetEvent(start);
        for (int i = 0; i < 6000 && countFiles(l.backups) < 100; ++i)
            Sleep(5);
        a.kill();
    }
    CloseHandle(start);
    ASSERT_GE(countFiles(l.backups), 100u);
    ASSERT_LT(countFiles(l.backups), 1000u) << "killed too late to tell anything";
    // Each game file is the game's or the mod's, whole; the one step a kill can cut between its two
    // renames leaves the game's file in the backup folder.
    int missing = 0;
    for (int i = 0; i < l.files; ++i) {
        const std::string now = read(l.target(i));
        if (now == "<missing>") {
            ++missing;
        } else {
            EXPECT_TRUE(now == l.content(L"game", i) || now == l.content(L"a", i)) << i;
        }
        if (exists(l.backup(i))) {
            EXPECT_EQ(read(l.backup(i)), l.content(L"game", i)) << i;
        } else {
            EXPECT_NE(now, "<missing>") << i;
        }
    }
    EXPECT_LE(missing, 1);

    // The next run finds the lock abandoned and the work files left over, and goes through.
    const texmods::Outcome o = texmods::run(texmods::Operation::Install, l.game, l.modFolder(L"a"));
    EXPECT_EQ(o.kind, texmods::Outcome::Kind::Done) << testing::PrintToString(o.what + o.detail);
    for (int i = 0; i < l.files; ++i) {
        ASSERT_EQ(read(l.target(i)), l.content(L"a", i)) << i;
        ASSERT_EQ(read(l.backup(i)), l.content(L"game", i)) << i;
    }
    EXPECT_TRUE(l.noWorkFiles());
}

// On a volume of a few MiB (a tmpfs that CTest mounts, reached through Wine's Z: drive).
class TexModsSmallVolume : public WindowTest {
protected:
    std::wstring root;
    void SetUp() override {
        WindowTest::SetUp();
        std::wstring unix = env(L"ZELQ_SMALL_VOLUME");
        if (unix.empty())
            GTEST_SKIP() << "needs the small volume that CTest sets up";
        std::replace(unix.begin(), unix.end(), L'/', L'\\');
        root = L"Z:" + unix;
        ULARGE_INTEGER total{};
        if (!GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr) || total.QuadPart > (64u << 20))
            GTEST_SKIP() << "no small volume at " << testing::PrintToString(root)
                         << " (mounting it needs root)";
    }
    uint64_t freeBytes() const {
        ULARGE_INTEGER free{};
        GetDiskFreeSpaceExW(root.c_str(), &free, nullptr, nullptr);
        return free.QuadPart;
    }
    // Another program takes all but `leave` bytes.
    void fill(uint64_t leave) const {
        const uint64_t free = freeBytes();
        write(root + L"\\filler", std::string(free > leave ? static_cast<size_t>(free - leave) : 0, 'f'));
    }
    void unfill() const { DeleteFileW((root + L"\\filler").c_str()); }
};

TEST_F(TexModsSmallVolume, RunsThatRunOutOfSpaceLeaveEveryGameFileWhole) {
    const Layout l(root + L"\\game", 10, {L"m"}, 100 << 10, 200 << 10);
    settings::setAppFolder(l.game);
    const std::wstring mod = l.modFolder(L"m");
    // Each game file its original or the mod's file, byte for byte, and each backup the original.
    auto whole = [&](int modded, const char* when) {
        SCOPED_TRACE(when);
        for (int i = 0; i < l.files; ++i) {
            EXPECT_EQ(read(l.target(i)), l.content(i < modded ? L"m" : L"game", i)) << i;
            if (exists(l.backup(i))) {
                EXPECT_EQ(read(l.backup(i)), l.content(L"game", i)) << i;
            }
        }
        EXPECT_TRUE(l.noWorkFiles());
    };
    texmods::frmTexMod& form = texmods::texModForm();
    auto refusedThroughTheWindow = [&](const wchar_t* button, const wchar_t* title, const wchar_t* needed) {
        form.show();
        click(form, button);
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(rec.messages[0].title, title);
        EXPECT_TRUE(contains(rec.messages[0].text, needed)) << testing::PrintToString(rec.messages[0].text);
        EXPECT_TRUE(contains(rec.messages[0].text, L" free."));
        EXPECT_TRUE(contains(rec.messages[0].text, L"Nothing was changed."));
        rec.messages.clear();
    };

    // Not room enough for the mod's files: refused before anything changes.
    fill(1 << 20);
    refusedThroughTheWindow(L"cmdInstall", L"Install Failed", L"(2,048,000 bytes)");
    whole(0, "install refused");
    EXPECT_EQ(countFiles(l.backups), 0u);
    unfill();

    // The disk fills up in the middle of a copy: that file is put back, and the message says so.
    texmods::Progress filling;
    filling.step = [&](size_t done, size_t) {
        if (done == 4)
            fill(100 << 10);
    };
    texmods::Outcome o = texmods::run(texmods::Operation::Install, l.game, mod, filling);
    EXPECT_EQ(o.kind, texmods::Outcome::Kind::Failed);
    EXPECT_EQ(o.error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(o.file, l.target(4));
    EXPECT_TRUE(contains(o.detail, L"This file is as it was.")) << testing::PrintToString(o.detail);
    EXPECT_TRUE(contains(o.detail, L"4 mod files before it were installed"));
    whole(4, "install stopped by a full disk");
    unfill();

    ASSERT_EQ(texmods::run(texmods::Operation::Install, l.game, mod).kind, texmods::Outcome::Kind::Done);
    whole(10, "installed");

    // Uninstall needs room for one backup at a time, as each restore frees the mod's larger file.
    fill(50 << 10);
    refusedThroughTheWindow(L"cmdUninstall", L"Uninstall Failed", L"(102,400 bytes)");
    whole(10, "uninstall refused");
    unfill();
    filling.step = [&](size_t done, size_t) {
        if (done == 3)
            fill(50 << 10);
    };
    o = texmods::run(texmods::Operation::Uninstall, l.game, mod, filling);
    EXPECT_EQ(o.kind, texmods::Outcome::Kind::Failed);
    EXPECT_EQ(o.error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_TRUE(contains(o.detail, L"This file is as it was.")) << testing::PrintToString(o.detail);
    EXPECT_TRUE(contains(o.detail, L"3 mod files before it were uninstalled"));
    for (int i = 0; i < l.files; ++i)
        EXPECT_EQ(read(l.target(i)), l.content(i < 3 ? L"game" : L"m", i)) << i;
    unfill();

    // A later uninstall restores every original.
    ASSERT_EQ(texmods::run(texmods::Operation::Uninstall, l.game, mod).kind, texmods::Outcome::Kind::Done);
    whole(0, "uninstalled");
    form.unload();
}
