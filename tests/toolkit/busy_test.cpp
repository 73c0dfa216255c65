// The busy state, with a small form at work. (That the other forms are disabled during a run is
// proved through a texture mod run.)
#include "harness/harness.h"
#include "toolkit/messageloop.h"

using namespace harness;

class Busy : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        working.onClick(L"cmdGo", [this](int) { ++clicks; });
        working.show();
    }
    // clang-format off
    tk::Form working{{.name = L"frmWorking", .caption = L"Busy", .width = 3000, .height = 1500, .controls = {
        {.name = L"cmdGo", .kind = tk::Kind::Button, .caption = L"Go", .left = 120, .top = 120, .width = 1200, .height = 375},
    }}};
    // clang-format on
    int clicks = 0;
};

// A message that no run acts on waits for the end of the run: a quit too, which the program's
// loop must still see.
class BusyKeeps : public Busy, public ::testing::WithParamInterface<UINT> {};

TEST_P(BusyKeeps, AMessageMetDuringTheRunArrivesAfterIt) {
    const UINT message = GetParam();
    MSG m;
    {
        tk::Busy busy(working, {});
        PostThreadMessageW(GetCurrentThreadId(), message, 7, 0);
        tk::pumpMessages();
        EXPECT_FALSE(PeekMessageW(&m, nullptr, message, message, PM_NOREMOVE)) << "seen while busy";
    }
    ASSERT_TRUE(PeekMessageW(&m, nullptr, message, message, PM_REMOVE));
    EXPECT_EQ(m.wParam, 7u);
}

INSTANTIATE_TEST_SUITE_P(Messages, BusyKeeps, ::testing::Values(WM_QUIT, WM_APP), [](const auto& info) {
    return std::string(info.param == WM_QUIT ? "Quit" : "App");
});

// A user's minimise or restore of the form at work, from the taskbar (with the system's low bits
// or without) or the window's buttons, goes through.
struct Showing {
    const char* name;
    WPARAM command;
    bool minimises; // else it restores a minimised form
};

class BusyShows : public Busy, public ::testing::WithParamInterface<Showing> {};

TEST_P(BusyShows, MinimiseAndRestoreGoThrough) {
    const Showing& s = GetParam();
    if (!s.minimises)
        ShowWindow(working.hwnd(), SW_MINIMIZE);
    tk::Busy busy(working, {});
    PostMessageW(working.hwnd(), WM_SYSCOMMAND, s.command, 0);
    tk::pumpMessages();
    EXPECT_EQ(IsIconic(working.hwnd()) != FALSE, s.minimises);
}

const Showing kShowings[] = {
    {"Minimise", SC_MINIMIZE, true},
    {"Restore", SC_RESTORE, false},
    {"MinimiseWithTheSystemsLowBits", SC_MINIMIZE | HTCAPTION, true},
};

INSTANTIATE_TEST_SUITE_P(Commands, BusyShows, ::testing::ValuesIn(kShowings),
                         [](const auto& info) { return std::string(info.param.name); });

// Any other system command is dropped, even one that would not disturb the run.
TEST_F(Busy, AMaximiseIsDropped) {
    tk::Busy busy(working, {});
    PostMessageW(working.hwnd(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    tk::pumpMessages();
    EXPECT_FALSE(IsZoomed(working.hwnd()));
}

// What a user or another program does to the form at work: none of it may act during a run, nor
// be kept to act after it. The pump meets what is posted; the form itself what is sent.
struct Action {
    const char* name;
    UINT message; // BM_CLICK and keys go to the button, the rest to the form
    WPARAM wp;
    bool sent; // else posted
};

class BusyDrops : public Busy, public ::testing::WithParamInterface<Action> {
protected:
    void deliver(HWND to, UINT message, WPARAM wp, LPARAM lp) {
        if (GetParam().sent)
            SendMessageW(to, message, wp, lp);
        else
            PostMessageW(to, message, wp, lp);
    }
    void play() {
        const Action& a = GetParam();
        const HWND button = working.item(L"cmdGo");
        if (a.message == WM_COMMAND) {
            const LPARAM from = reinterpret_cast<LPARAM>(button);
            deliver(working.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), from);
        } else if (a.message == WM_KEYDOWN) {
            deliver(button, WM_KEYDOWN, a.wp, 1);
            deliver(button, WM_KEYUP, a.wp, static_cast<LPARAM>(0xC0000001));
        } else {
            deliver(a.message == BM_CLICK ? button : working.hwnd(), a.message, a.wp, 0);
        }
    }
    // A click, or the form closed.
    int acted() const { return clicks + (working.loaded() ? 0 : 1); }
};

TEST_P(BusyDrops, WhatWouldActDoesNothingDuringTheRunNorAfterIt) {
    play();
    pump();
    ASSERT_EQ(acted(), 1) << "it acts when no run is on";
    clicks = 0;
    working.show();
    {
        tk::Busy busy(working, {});
        play();
        tk::pumpMessages();
    }
    pump();
    EXPECT_EQ(acted(), 0);
}

const Action kDropped[] = {
    {"ClickOnTheButton", BM_CLICK, 0, false},
    {"SpaceOnTheButton", WM_KEYDOWN, VK_SPACE, false},
    {"CommandOfTheButton", WM_COMMAND, 0, false},
    {"CommandSentWhileBusy", WM_COMMAND, 0, true},
    {"CloseMessage", WM_CLOSE, 0, false},
    {"CloseMessageSentWhileBusy", WM_CLOSE, 0, true},
    {"CloseFromTheSystemMenu", WM_SYSCOMMAND, SC_CLOSE, false},
};

INSTANTIATE_TEST_SUITE_P(Actions, BusyDrops, ::testing::ValuesIn(kDropped),
                         [](const auto& info) { return std::string(info.param.name); });
