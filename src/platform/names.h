#pragma once
// Names of files and folders compared as the file system compares them: without regard to case, in
// any script (é and É are one name). The program's one comparison of names.
#include <string>
#include <string_view>

namespace platform {

bool sameName(std::wstring_view a, std::wstring_view b);

// A name or path in upper case by the system's table, for maps and sets keyed by name: two names
// are one file's exactly when their keys are equal.
std::wstring nameKey(std::wstring_view name);

} // namespace platform
