#pragma once
// File operations with the system's error codes, for paths of any length.
#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

// The "\\?\" form of an absolute path that is too long for the plain functions.
std::wstring longPath(const std::wstring& path);

// A directory search finds the path as a normal file (not hidden, not system, not a folder).
bool isNormalFile(const std::wstring& path);
bool isFolder(const std::wstring& path);
bool exists(const std::wstring& path);

// Reads a whole file. Returns 0 or the system's error.
DWORD readFile(const std::wstring& path, std::string& bytes);

// Writes a temporary file beside `path` and replaces `path` with it in one step, so that a
// failure never leaves a half-written or empty file. A read-only target is refused, as the
// system refuses it on Windows. Returns 0 or the system's error; on failure nothing changed.
DWORD replaceFileContents(const std::wstring& path, std::string_view bytes);

// Text in the system's ANSI code page, as the game and the modification read their files.
std::string toAnsi(std::wstring_view text);
std::wstring fromAnsi(std::string_view bytes);

} // namespace platform
