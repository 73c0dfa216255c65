#pragma once
// File operations with the system's error codes, for paths of any length.
#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

// The "\\?\" form of an absolute path that is too long for the plain functions.
std::wstring longPath(const std::wstring& path);

// A folder's path ending in a backslash.
std::wstring withSlash(std::wstring folder);
// The folder of a path, with its trailing separator (empty when the path has none), and the name after it.
std::wstring folderOf(const std::wstring& path);
std::wstring nameOf(const std::wstring& path);

// A directory search finds the path as a normal file (not hidden, not system, not a folder).
bool isNormalFile(const std::wstring& path);
bool isFolder(const std::wstring& path);
bool exists(const std::wstring& path);

// Reads a whole file. Returns 0 or the system's error.
DWORD readFile(const std::wstring& path, std::string& bytes);

// Writes a file that must not exist yet and, unless told not to, flushes it to the disk. Returns 0
// or the system's error; a file that could not be written whole is removed again.
DWORD createFile(const std::wstring& path, std::string_view bytes, bool flush = true);

// Writes over an existing file in place, without a temporary file, and flushes it. Returns 0 or the
// system's error; on failure the file may hold part of the new bytes.
DWORD overwriteFile(const std::wstring& path, std::string_view bytes);

// Removes a file's name, read-only or not; nothing happens when there is none (or no name). The
// file's other names (hard links) keep its attributes, but for read-only, which removing one takes.
void removeFile(const std::wstring& path);

// Gives `to` the attributes of `from` that a copy keeps (read-only, hidden, system, archive). The
// system's copy carries them on Windows but not under every version of Wine: every copy whose
// attributes matter sets them with this. Returns 0 or the system's error.
DWORD copyAttributes(const std::wstring& from, const std::wstring& to);

// Gives an existing file a second name: a hard link where the volume has them, else a copy.
// Returns 0 or the system's error.
DWORD linkOrCopy(const std::wstring& path, const std::wstring& second);

// Whether the existing file opens for writing.
bool canWrite(const std::wstring& path);

// Work files: what the program writes first and then renames into place, or keeps for a moment.
// Each name is a stem saying whose file it is, then "<process>-<n>", a dot and an extension
// ("settings.ini.zelq-1234-5.tmp"): no two running copies of the program pick one name, and the
// cleaner can tell whose each file was.
std::wstring workName(const std::wstring& stem, std::wstring_view ext);

// Whose work files the cleaner removes: only those of processes that have ended (and this one's),
// or every one, for a caller that holds the lock which every maker of such names takes first.
enum class Owners { Ended, Any };

// Removes the work files named `stem`, digits, "-" and anything after them.
void removeWorkFiles(const std::wstring& stem, Owners owners);

// A file's work files: beside it ("settings.ini.zelq-<process>-<n>.<ext>"), or under the system's
// temporary folder with a name short enough for functions limited to MAX_PATH (empty when that
// folder is itself too deep).
std::wstring besideName(const std::wstring& path, std::wstring_view ext);
std::wstring tempName(const std::wstring& path);

// Cleans up after a process that was ended while it worked on the file, or a save of this one that
// could not remove its files: removes the file's work files of both kinds. Call it holding the
// file's lock; work files of other running processes are left alone (a reader takes no lock).
void removeLeftovers(const std::wstring& path);

// Text in the system's ANSI code page, as the game and the modification read their files.
std::string toAnsi(std::wstring_view text);
std::wstring fromAnsi(std::string_view bytes);
// Text in any code page (CP_UTF8 for a file that begins with its byte order mark).
std::wstring fromCodePage(UINT codePage, std::string_view bytes);

} // namespace platform
