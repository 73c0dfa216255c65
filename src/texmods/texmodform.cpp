#include "texmods/texmodform.h"

#include "platform/files.h"
#include "platform/report.h"
#include "settings/ini.h"
#include "texmods/plan.h"
#include "toolkit/dpi.h"
#include "toolkit/messageloop.h"

#include <optional>

#include <commctrl.h>

namespace texmods {
namespace {

using tk::Kind;

// clang-format off
tk::FormSpec texModSpec() {
    return {
        .name = L"frmTexMod",
        .caption = L"Manage Texture Mods",
        .width = 7530,
        .height = 3000,
        .icon = true,
        .controls =
            {
                {.name = L"cmbMods", .kind = Kind::DropCombo, .left = 360, .top = 480, .width = 4575, .height = 315, .tab = 0},
                {.name = L"cmdInstall", .kind = Kind::Button, .caption = L"Install", .left = 4920, .top = 480, .width = 975, .height = 375, .tab = 1},
                {.name = L"cmdUninstall", .kind = Kind::Button, .caption = L"Uninstall", .left = 5880, .top = 480, .width = 975, .height = 375, .tab = 2},
                {.name = L"frmDesc", .kind = Kind::Frame, .caption = L"Mod Description:", .left = 120, .top = 960, .width = 7335, .height = 1935, .tab = 3},
                {.name = L"lblDesc", .kind = Kind::Label, .left = 120, .top = 360, .width = 7095, .height = 1455, .tab = 4, .frame = L"frmDesc"},
                {.name = L"lblStatus", .kind = Kind::Label, .left = 360, .top = 120, .width = 7095, .height = 255, .tab = 5},
            },
    };
}
// clang-format on

constexpr const wchar_t* kRunControls[] = {L"cmbMods", L"cmdInstall", L"cmdUninstall"};

// The window while a run goes on, which goes to its end before anything else in the program acts:
// the list and the buttons disabled, the progress bar in place of the description, every other
// window waiting; all as it was, the focus too, once the view ends.
class RunView {
public:
    RunView(frmTexMod& form, HWND bar) : form_(form), bar_(bar), focus_(GetFocus()) {
        for (const wchar_t* name : kRunControls)
            form_.enable(name, false);
        RECT r;
        GetWindowRect(form_.item(L"lblDesc"), &r);
        MapWindowPoints(nullptr, form_.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        const int barHeight = tk::scale(18, tk::dpiOf(form_.hwnd()));
        SetWindowPos(bar_, HWND_TOP, r.left, r.top, r.right - r.left, barHeight, SWP_NOACTIVATE);
        SendMessageW(bar_, PBM_SETRANGE32, 0, 1000);
        SendMessageW(bar_, PBM_SETPOS, 0, 0);
        busy_.emplace(form_, std::vector<HWND>{bar_});
    }
    ~RunView() {
        busy_.reset();
        ShowWindow(bar_, SW_HIDE);
        ShowWindow(form_.item(L"lblDesc"), SW_SHOWNA);
        for (const wchar_t* name : kRunControls)
            form_.enable(name, true);
        if (focus_ && IsChild(form_.hwnd(), focus_))
            SetFocus(focus_);
    }
    RunView(const RunView&) = delete;
    RunView& operator=(const RunView&) = delete;

    Progress progress() {
        Progress p;
        p.step = [this](size_t done, size_t total) { step(done, total); };
        // On Windows this runs in the middle of a copy: the busy state lets nothing end the program there.
        p.idle = [] { tk::pumpMessages(); };
        return p;
    }

private:
    void step(size_t done, size_t total) {
        if (!shown_ && total > 0) {
            shown_ = true;
            ShowWindow(form_.item(L"lblDesc"), SW_HIDE);
            ShowWindow(bar_, SW_SHOWNA);
        }
        // Drawn ten times a second: painting the bar at every one of thousands of small files
        // would cost more than copying them.
        const ULONGLONG now = GetTickCount64();
        if (total > 0 && (now - drawn_ >= 100 || done == total)) {
            drawn_ = now;
            SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(done * 1000 / total), 0);
        }
        tk::pumpMessages();
    }

    frmTexMod& form_;
    const HWND bar_;
    const HWND focus_;
    std::optional<tk::Busy> busy_;
    bool shown_ = false;
    ULONGLONG drawn_ = 0;
};

// Tells the user how a run ended.
void tell(HWND owner, Operation op, const Outcome& outcome) {
    const bool install = op == Operation::Install;
    const wchar_t* failedTitle = install ? L"Install Failed" : L"Uninstall Failed";
    switch (outcome.kind) {
    case Outcome::Kind::Done:
        if (install)
            report::info(owner, L"Successful Install", L"Install Complete.");
        else
            report::info(owner, L"Successful Uninstall", L"Uninstall Complete.");
        break;
    case Outcome::Kind::Refused:
        report::info(owner, failedTitle, outcome.what, platform::Icon::Critical);
        break;
    case Outcome::Kind::Failed:
        report::fileError(owner, failedTitle, outcome.what, outcome.file, outcome.error, outcome.detail);
        break;
    }
}

} // namespace

frmTexMod::frmTexMod() : Form(texModSpec()) {
    onClick(L"cmbMods", [this](int) { showDescription(); });
    onClick(L"cmdInstall", [this](int) { runOperation(Operation::Install); });
    onClick(L"cmdUninstall", [this](int) { runOperation(Operation::Uninstall); });
}

frmTexMod& texModForm() {
    static frmTexMod form;
    return form;
}

void frmTexMod::onLoad() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 10, 10, hwnd(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    status_.attach(item(L"lblStatus"));
    const std::wstring root = modRoot(settings::appFolder());
    const DWORD error = listFolders(root, folders_);
    clearItems(L"cmbMods");
    for (const std::wstring& path : folders_)
        addItem(L"cmbMods", platform::nameOf(path));
    if (error) {
        folders_.clear();
        clearItems(L"cmbMods");
        setText(L"lblDesc", platform::isFolder(root)
                                ? L"The texture mod folder \"" + root + L"\" could not be read: " +
                                      platform::errorText(error)
                                : L"No texture mod folder was found at \"" + root + L"\".");
        return;
    }
    if (!folders_.empty())
        select(L"cmbMods", 0);
}

std::wstring frmTexMod::modFolder() const {
    const int p = selected(L"cmbMods");
    if (p >= 0 && static_cast<size_t>(p) < folders_.size())
        return folders_[static_cast<size_t>(p)];
    return modRoot(settings::appFolder()); // nothing selected: the mod root itself
}

void frmTexMod::showDescription() {
    status_.check(settings::appFolder(), modFolder(), folders_);
    setText(L"lblDesc", L"");
    const std::wstring readme = modFolder() + L"\\readme.txt";
    if (!platform::exists(readme) || platform::isFolder(readme))
        return;
    std::string bytes;
    if (const DWORD error = platform::readFile(readme, bytes)) {
        setText(L"lblDesc",
                L"The description file \"" + readme + L"\" could not be read: " + platform::errorText(error));
        return;
    }
    setText(L"lblDesc", platform::fromAnsi(describe(bytes)));
}

void frmTexMod::runOperation(Operation op) {
    const std::wstring folder = modFolder();
    Outcome outcome;
    {
        status_.stop(); // a check reads the files the run changes
        RunView view(*this, progress_);
        outcome = run(op, settings::appFolder(), folder, view.progress());
    }
    status_.check(settings::appFolder(), folder, folders_);
    tell(hwnd(), op, outcome);
}

} // namespace texmods
