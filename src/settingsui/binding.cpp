#include "settingsui/binding.h"

#include "core/number.h"
#include "platform/names.h"

#include <algorithm>

namespace settings {
namespace {

// Applies a value; false when it does not convert or the control refuses it.
bool apply(tk::Form& form, const Binding& row, const std::wstring& value) {
    switch (row.encoding) {
    case Encoding::Text:
        form.setText(row.control, value, row.index);
        return true;
    case Encoding::ButtonText:
        form.setText(row.control, value.empty() ? L"-1" : value, row.index);
        return true;
    case Encoding::Check:
    case Encoding::List:
    case Encoding::ListPlusOne: {
        const auto n = core::toInt16(value);
        if (!n)
            return false;
        if (row.encoding == Encoding::Check)
            return form.setCheck(row.control, *n, row.index);
        return form.select(row.control, row.encoding == Encoding::ListPlusOne ? *n - 1 : *n, row.index);
    }
    }
    return false;
}

// The text a row writes for the control's present state.
std::wstring valueOf(const tk::Form& form, const Binding& row) {
    switch (row.encoding) {
    case Encoding::Check:
        return std::to_wstring(form.check(row.control, row.index));
    case Encoding::List:
        return std::to_wstring(form.selected(row.control, row.index));
    case Encoding::ListPlusOne:
        return std::to_wstring(form.selected(row.control, row.index) + 1);
    case Encoding::Text:
    case Encoding::ButtonText:
        return form.text(row.control, row.index);
    }
    return {};
}

} // namespace

void load(tk::Form& form, const IniFile& file, std::span<const Binding> rows) {
    const ProfileReader reader(file.path());
    for (const Binding& row : rows) {
        if (!apply(form, row, ReadIni(reader, file.section, row.key, row.zeroIfMissing)))
            apply(form, row, row.zeroIfMissing ? L"0" : L"");
        // A combo box with an editable text part that holds no item shows an empty text, not its design text.
        if (row.encoding == Encoding::List && form.kind(row.control, row.index) == tk::Kind::DropCombo &&
            form.selected(row.control, row.index) == -1)
            form.setText(row.control, L"", row.index);
    }
}

std::vector<FileChange> changesOf(const tk::Form& form, const std::vector<Table>& tables) {
    std::vector<FileChange> changes;
    for (const Table& t : tables) {
        const std::wstring path = t.file.path();
        auto it = std::find_if(changes.begin(), changes.end(),
                               [&](const FileChange& c) { return platform::sameName(c.path, path); });
        if (it == changes.end())
            it = changes.insert(changes.end(), FileChange{.path = path});
        for (const Binding& row : t.rows)
            it->keys.push_back({std::wstring(t.file.section), std::wstring(row.key), valueOf(form, row)});
    }
    return changes;
}

} // namespace settings
