#pragma once
// The glue between settings files and a window's controls: each row of a table ties one key of a
// settings file to one control and says how the value is encoded. One routine loads a table and
// one saves it.
#include "settings/ini.h"
#include "settings/save.h"
#include "toolkit/form.h"

#include <span>
#include <string_view>
#include <vector>

namespace settings {

enum class Encoding {
    Check,       // a check box's state, "0", "1" (or "2")
    List,        // a list's selected position, "-1" for none
    ListPlusOne, // a list's selected position plus one, "0" for none
    Text,        // a text box's text as typed
    ButtonText,  // a button field: as typed; an empty value loads as "-1"
};

struct Binding {
    std::wstring_view key;
    std::wstring_view control;
    Encoding encoding;
    int index = 0;             // control array entry
    bool zeroIfMissing = true; // how ReadIni treats a missing key
};

struct IniFile {
    std::wstring_view name; // in the settings folder, e.g. "settings.ini"
    std::wstring_view section;
    std::wstring path() const { return settingsFile(name); }
};

// Loads each row in order. A value that does not convert, or that its control refuses, is
// treated like a missing key; loading goes on with the next row.
void load(tk::Form& form, const IniFile& file, std::span<const Binding> rows);

// A file's rows that one save writes.
struct Table {
    IniFile file;
    std::span<const Binding> rows;
};

// What saving the tables writes, one change for each file, in the order the files first appear.
std::vector<FileChange> changesOf(const tk::Form& form, const std::vector<Table>& tables);

} // namespace settings
