#include "platform/report.h"

#include <exception>
#include <string>

namespace report {

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

void saveFailed(HWND owner, std::wstring_view file, DWORD error) {
    fileError(owner, L"Could Not Save", L"The settings could not be written to this file:", file, error,
              L"Nothing was lost: your changes are still in the window. Correct the problem and press Ok "
              L"again, or press Cancel to leave without saving.");
}

void unexpected(HWND owner, std::wstring_view what) {
    std::wstring text = L"An unexpected error occurred:\r\n\r\n";
    text += what;
    platform::sys().message(owner, text, L"Error", platform::Icon::Critical);
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
