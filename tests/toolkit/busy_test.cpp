// The busy state, with two small forms: the one at work and another one.
#include "harness/harness.h"
#include "toolkit/messageloop.h"

using namespace harness;
using tk::Kind;

namespace {

// clang-format off
tk::FormSpec busySpec(std::wstring_view name) {
    return {.name = name, .caption = L"Busy", .width = 3000, .height = 1500, .controls = {
        {.name = L"cmdGo", .kind = Kind::Button, .caption = L"Go", .left = 120, .top = 120, .width = 1200, .height = 375},
    }};
}
// clang-format on

struct Counting : tk::Form {
    explicit Counting(std::wstring_view name) : Form(busySpec(name)) {
        onClick(L"cmdGo", [this](int) { ++clicks; });
    }
    int clicks = 0;
};

enum class Shown { Normal, Minimised, Maximised };

Shown shown(HWND window) {
    if (IsIconic(window))
        return Shown::Minimised;
    if (IsZoomed(window))
        return Shown::Maximised;
    return Shown::Normal;
}

} // namespace

class Busy : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        working.show();
        other.show();
    }
    Counting working{L"frmWorking"}, other{L"frmOther"};
};

TEST_F(Busy, OtherFormsAreDisabledUntilTheRunEnds) {
    {
        tk::Busy busy(working, {});
        EXPECT_TRUE(IsWindowEnabled(working.hwnd()));
        EXPECT_FALSE(IsWindowEnabled(other.hwnd()));
    }
    EXPECT_TRUE(IsWindowEnabled(other.hwnd()));
}

TEST_F(Busy, AQuitMetDuringTheRunIsPostedAgainAfterIt) {
    MSG quit;
    {
        tk::Busy busy(working, {});
        PostQuitMessage(7);
        tk::pumpMessages();
        EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "seen while busy";
    }
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

TEST_F(Busy, OtherMessagesAreKeptForTheEnd) {
    MSG kept;
    {
        tk::Busy busy(working, {});
        PostThreadMessageW(GetCurrentThreadId(), WM_APP, 5, 0);
        tk::pumpMessages();
        EXPECT_FALSE(PeekMessageW(&kept, nullptr, WM_APP, WM_APP, PM_NOREMOVE)) << "delivered while busy";
    }
    ASSERT_TRUE(PeekMessageW(&kept, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(kept.wParam, 5u);
}

// A user's minimise or restore of the form at work, from the taskbar or the window's buttons, goes
// through; no other system command does. (Another form is disabled: the system minimises it not.)
struct Showing {
    const char* name;
    WPARAM command;
    Shown before, during;
};

class BusyShows : public Busy, public ::testing::WithParamInterface<Showing> {};

TEST_P(BusyShows, OnlyMinimiseAndRestoreGoThrough) {
    const Showing& s = GetParam();
    const HWND window = working.hwnd();
    if (s.before == Shown::Minimised)
        ShowWindow(window, SW_MINIMIZE);
    tk::Busy busy(working, {});
    PostMessageW(window, WM_SYSCOMMAND, s.command, 0);
    tk::pumpMessages();
    EXPECT_EQ(shown(window), s.during);
}

// clang-format off
const Showing kShowings[] = {
    {"MinimiseTheFormAtWork", SC_MINIMIZE, Shown::Normal, Shown::Minimised},
    {"RestoreTheFormAtWork", SC_RESTORE, Shown::Minimised, Shown::Normal},
    {"MinimiseWithTheSystemsLowBits", SC_MINIMIZE | HTCAPTION, Shown::Normal, Shown::Minimised},
    {"MaximiseStaysDropped", SC_MAXIMIZE, Shown::Normal, Shown::Normal},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Commands, BusyShows, ::testing::ValuesIn(kShowings),
                         [](const auto& info) { return std::string(info.param.name); });

// What a user or another program does to the form at work, which no run may act on.
struct Action {
    const char* name;
    UINT message;
    WPARAM wp;
    bool toButton; // else to the form
    bool sent;     // else posted
};

class BusyDrops : public Busy, public ::testing::WithParamInterface<Action> {
protected:
    void send(UINT message, WPARAM wp, LPARAM lp) {
        const Action& a = GetParam();
        const HWND to = a.toButton ? working.item(L"cmdGo") : working.hwnd();
        if (a.sent)
            SendMessageW(to, message, wp, lp);
        else
            PostMessageW(to, message, wp, lp);
    }
    void play() {
        const Action& a = GetParam();
        const HWND button = working.item(L"cmdGo");
        if (a.message == WM_COMMAND) {
            send(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        } else if (a.message == WM_KEYDOWN) {
            send(WM_KEYDOWN, a.wp, 1);
            send(WM_KEYUP, a.wp, static_cast<LPARAM>(0xC0000001));
        } else {
            send(a.message, a.wp, 0);
        }
    }
    // A click, or the form closed.
    int acted() const { return working.clicks + (working.loaded() ? 0 : 1); }
};

TEST_P(BusyDrops, WhatWouldActDoesNothingDuringTheRunNorAfterIt) {
    play();
    pump();
    ASSERT_EQ(acted(), 1) << "it acts when no run is on";
    working.clicks = 0;
    working.show();
    {
        tk::Busy busy(working, {});
        play();
        tk::pumpMessages();
    }
    pump();
    EXPECT_EQ(acted(), 0);
}

// clang-format off
const Action kDropped[] = {
    {"ClickOnTheButton", BM_CLICK, 0, true, false},
    {"SpaceOnTheButton", WM_KEYDOWN, VK_SPACE, true, false},
    {"CommandOfTheButton", WM_COMMAND, 0, false, false},
    {"CommandSentWhileBusy", WM_COMMAND, 0, false, true},
    {"CloseMessage", WM_CLOSE, 0, false, false},
    {"CloseMessageSentWhileBusy", WM_CLOSE, 0, false, true},
    {"CloseFromTheSystemMenu", WM_SYSCOMMAND, SC_CLOSE, false, false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Actions, BusyDrops, ::testing::ValuesIn(kDropped),
                         [](const auto& info) { return std::string(info.param.name); });
