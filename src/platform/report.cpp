#include "platform/report.h"

#include <exception>
#include <string>

namespace report {
namespace {

void unexpected(HWND owner, std::wstring_view what) {
    std::wstring text = L"An unexpected error occurred:\r\n\r\n";
    text += what;
    platform::sys().message(owner, text, L"Error", platform::Icon::Critical);
}

} // namespace

void info(HWND owner, std::wstring_view title, std::wstring_view text, platform::Icon icon) {
    platform::sys().message(owner, text, title, icon);
}

void fileError(HWND owner, std::wstring_view title, std::wstring_view what, std::wstring_view file,
               DWORD error, std::wstring_view consequence) {
    std::wstring text(what);
    text += L"\r\n\r\n";
    text += file;
    text += L"\r\n\r\n";
    text += platform::errorText(error);
    if (!consequence.empty()) {
        text += L"\r\n\r\n";
        text += consequence;
    }
    platform::sys().message(owner, text, title, platform::Icon::Critical);
}

void saveFailed(HWND owner, std::wstring_view file, DWORD error, std::span<const std::wstring> kept,
                bool damaged) {
    std::wstring state;
    if (!damaged && kept.empty()) {
        state = L"No file was changed: your changes are still in the window.";
    } else {
        state = damaged ? L"This file was being written over in place, as its folder takes no new file, and "
                          L"could not be put back as it was: it may now hold only part of its settings."
                        : L"This file was not changed.";
        if (kept.empty()) {
            state += L" No other file was changed.";
        } else {
            state += L" These files already hold your changes, as they could not be put back as they were:";
            for (const std::wstring& k : kept)
                state += L"\r\n" + k;
        }
        state += L"\r\n\r\nYour changes are still in the window.";
    }
    fileError(owner, L"Could Not Save", L"The settings could not be written to this file:", file, error,
              state + L" Correct the problem and press Ok again, or press Cancel to leave without saving.");
}

void unexpectedException(HWND owner) {
    try {
        throw;
    } catch (const std::exception& e) {
        const char* what = e.what();
        unexpected(owner, std::wstring(what, what + std::char_traits<char>::length(what)));
    } catch (...) {
        unexpected(owner, L"unknown error");
    }
}

} // namespace report
