#include "texmods/statusline.h"

#include "platform/files.h"
#include "platform/names.h"
#include "platform/system.h"
#include "texmods/modstatus.h"

#include <atomic>
#include <thread>

#include <commctrl.h>

namespace texmods {
namespace {

constexpr UINT kReady = WM_APP + 0x51; // posted to the label when a check has its line
constexpr UINT_PTR kSubclass = 0x5a51;
// The window waits this long for a check before it shows "Checking...", so that a small mod's line
// appears without a flicker.
constexpr DWORD kPatience = 80;

} // namespace

struct StatusLine::Job {
    std::atomic<bool> cancelled{false};
    const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::wstring line; // written before `done` is set
    std::thread thread;

    ~Job() {
        cancelled = true;
        if (thread.joinable())
            thread.join();
        CloseHandle(done);
    }
    bool finished() const { return WaitForSingleObject(done, 0) == WAIT_OBJECT_0; }
};

StatusLine::StatusLine() = default;

StatusLine::~StatusLine() {
    stop();
}

void StatusLine::attach(HWND label) {
    label_ = label;
    SetWindowSubclass(label, &StatusLine::labelProc, kSubclass, reinterpret_cast<DWORD_PTR>(this));
}

void StatusLine::check(const std::wstring& gameFolder, const std::wstring& modFolder,
                       const std::vector<std::wstring>& catalogue) {
    if (!label_)
        return;
    retireCurrent();
    std::erase_if(retired_, [](const std::unique_ptr<Job>& j) { return j->finished(); });
    std::vector<std::wstring> others, names;
    for (const std::wstring& folder : catalogue) {
        if (platform::sameName(folder, modFolder))
            continue;
        others.push_back(folder);
        names.push_back(platform::nameOf(folder));
    }
    auto job = std::make_unique<Job>();
    job->thread = std::thread([j = job.get(), label = label_, gameFolder, modFolder, others, names] {
        if (const auto status = readStatus(gameFolder, modFolder, others, j->cancelled))
            j->line = statusLine(*status, names);
        platform::sys().checkpoint(L"texmods status");
        SetEvent(j->done);
        if (!j->cancelled)
            PostMessageW(label, kReady, 0, 0);
    });
    current_ = std::move(job);
    if (WaitForSingleObject(current_->done, kPatience) == WAIT_OBJECT_0)
        SetWindowTextW(label_, current_->line.c_str());
    else
        SetWindowTextW(label_, L"Checking...");
}

void StatusLine::stop() {
    retireCurrent();
    retired_.clear(); // each job's end waits for its thread
}

void StatusLine::retireCurrent() {
    if (!current_)
        return;
    current_->cancelled = true;
    retired_.push_back(std::move(current_));
}

LRESULT CALLBACK StatusLine::labelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    auto* line = reinterpret_cast<StatusLine*>(self);
    switch (msg) {
    case kReady:
        // Only the newest check's line, once it is whole; an older check's message may still arrive.
        if (line->current_ && line->current_->finished())
            SetWindowTextW(hwnd, line->current_->line.c_str());
        return 0;
    case WM_DESTROY:
        line->stop();
        line->label_ = nullptr;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &StatusLine::labelProc, kSubclass);
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace texmods
