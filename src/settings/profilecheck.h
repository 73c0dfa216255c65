#pragma once
// Checks a settings file that the system's profile writer has just changed, before it replaces
// the file: nothing else may have been lost on the way (a full disk, a writer that reports success
// for a write that did not happen). Needs no Windows header, so it is tested natively.
#include <span>
#include <string>
#include <string_view>

namespace settings {

// A key that a save writes.
struct WrittenKey {
    std::wstring_view section;
    std::wstring_view key;
};

// A value as the profile reader gives it back once written: without the blanks around it, then
// without one pair of matching quotes (' or ") around what is left.
std::wstring asRead(std::wstring_view value);

// True when every line of `before` that the save does not own is still in `after`, in the same
// order. The save owns the lines of the keys it writes, in their sections. Lines are compared as
// the profile writer may rewrite them: blank lines dropped, blanks around a line and around its
// first "=" dropped, a section header up to its last "]". Section and key names match by `sameName`
// (the caller's comparison of names without regard to case).
using SameName = bool (*)(std::wstring_view, std::wstring_view);
bool keepsOtherLines(std::wstring_view before, std::wstring_view after, std::span<const WrittenKey> written,
                     SameName sameName);

} // namespace settings
