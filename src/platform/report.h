#pragma once
// One reporter for every message the user sees.
#include "platform/system.h"

#include <span>
#include <string>
#include <string_view>

namespace report {

// A help or information box: OK only, the given icon.
void info(HWND owner, std::wstring_view title, std::wstring_view text,
          platform::Icon icon = platform::Icon::None);

// A critical message about a failed file operation: what failed, the file, the system's reason.
// `consequence` (optional) tells the user where things stand now.
void fileError(HWND owner, std::wstring_view title, std::wstring_view what, std::wstring_view file,
               DWORD error, std::wstring_view consequence = {});

// The wording for a save that failed: the window stays open with the user's edits. `kept` names
// the files that hold the new settings all the same (they could not be put back as they were);
// `damaged` tells that `file`, written in place, could not be put back. Otherwise no file changed.
void saveFailed(HWND owner, std::wstring_view file, DWORD error, std::span<const std::wstring> kept = {},
                bool damaged = false);

// An unexpected error caught at the window procedure, so that it never reaches Windows: the
// exception being handled. Call it inside a catch block.
void unexpectedException(HWND owner);

} // namespace report
