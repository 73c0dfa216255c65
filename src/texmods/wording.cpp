#include "texmods/wording.h"

#include <algorithm>

namespace texmods {
namespace {

constexpr std::wstring_view kNothingWasChanged = L"Nothing was changed.";

// A sentence for each operation; one for both when the uninstall's is not given. "{mod}",
// "{backup}" and "{aside}" stand for the step's names.
struct Wording {
    const wchar_t* install;
    const wchar_t* uninstall = nullptr;

    std::wstring_view of(bool forInstall) const { return forInstall || !uninstall ? install : uninstall; }
};

struct Names {
    std::wstring_view mod, backup, aside;
};

std::wstring_view field(std::wstring_view key, const Names& names) {
    if (key == L"mod")
        return names.mod;
    if (key == L"backup")
        return names.backup;
    return names.aside;
}

std::wstring fill(std::wstring_view text, const Names& names) {
    std::wstring out;
    size_t at = 0;
    for (size_t open; (open = text.find(L'{', at)) != std::wstring_view::npos;) {
        const size_t close = text.find(L'}', open);
        out.append(text.substr(at, open - at));
        out.append(field(text.substr(open + 1, close - open - 1), names));
        at = close + 1;
    }
    return out.append(text.substr(at));
}

// By `Unchanged`: what failed, and what more the detail says before and after "Nothing was changed.".
struct Stop {
    Wording what;
    const wchar_t* before = L"";
    const wchar_t* after = L"";
};
constexpr const wchar_t* kNamed = L"It is named by the mod file \"{mod}\". ";
const Stop kStops[] = {
    {{L"The game folder could not be reserved for this run:"}},
    {{L"The texture mod's folder could not be read:"}},
    {{L"A target list file could not be read:"}},
    {{L"The backup folder, where the game's own files are saved, does not exist:"}},
    {{L"The backup folder holds a folder where this game file's backup belongs:"}, kNamed},
    {{L"A folder of the game that the texture mod needs does not exist:"}, kNamed},
    {{L"A folder of the game stands where the texture mod puts a file:"}, kNamed},
    {{L"A game file that the texture mod replaces is read-only:",
      L"A game file that the texture mod restores is read-only:"},
     kNamed,
     L" Clear the file's read-only attribute, then try again."},
};

// By `Action`: what failed.
const Wording kWhat[] = {
    {L"The mod file \"{mod}\" could not be copied to replace this game file:",
     L"The saved game file \"{backup}\" could not be copied to restore this game file:"},
    {L"This game file could not be moved into the backup folder as \"{backup}\":"},
    {L"This game file could not be moved aside to make room for the mod's file:",
     L"This game file could not be moved aside to make room for the saved game file:"},
    {L"The mod's file could not be put in place of this game file:",
     L"The saved game file could not be put back in place of this game file:"},
};

// By `Left`: where the step's file stands.
const Wording kLeft[] = {
    {L"This file is as it was. "},
    {L"This file was put back as it was. "},
    {L"This file is missing: the game's own file could not be moved back from the backup folder, where "
     L"it is saved as \"{backup}\"; Uninstall puts it back. "},
    {L"This file is missing: the texture mod's file that was there could not be moved back, and is kept "
     L"as \"{aside}\" until the next install or uninstall. The game's own file is saved in the backup "
     L"folder as \"{backup}\"; Uninstall puts it back. ",
     L"This file is missing: the texture mod's file that was there could not be moved back, and is kept "
     L"as \"{aside}\" until the next install or uninstall. The game's own file is saved in the backup "
     L"folder as \"{backup}\"; press Uninstall again to restore it. "},
    {L"This file is missing: the texture mod's file that was there could not be moved back, and is kept "
     L"as \"{aside}\" until the next install or uninstall. The game has no file of its own there. "},
};

// Where every other file stands: when the step's file is whole, and when it is not.
const Wording kRest[] = {
    {L"Every game file is whole: each holds the game's own file or a mod's file, and the game's own "
     L"files that were replaced are saved in the backup folder, where Uninstall finds them.",
     L"Every game file is whole: those not yet restored still hold the mod's files, and the saved game "
     L"files all remain in the backup folder: correct the problem and press Uninstall again."},
    {L"Every other game file is whole, and the game's own files that were replaced are saved in the "
     L"backup folder, where Uninstall finds them.",
     L"Every other game file is whole: those not yet restored still hold the mod's files, and the saved "
     L"game files all remain in the backup folder: correct the problem and press Uninstall again."},
};

template <class Table, class Key> const auto& row(const Table& table, Key key) {
    return table[static_cast<size_t>(key)];
}

std::wstring verb(bool install) {
    return install ? L"installed" : L"uninstalled";
}

Outcome refused(std::wstring text) {
    Outcome o;
    o.kind = Outcome::Kind::Refused;
    o.what = std::move(text) + L"\r\n\r\n" + std::wstring(kNothingWasChanged);
    return o;
}

// "The install stopped at mod file 2 of 3, ...": how far the run got.
std::wstring howFar(const Work& w, size_t i) {
    const Step& s = w.plan.steps[i];
    const auto reached =
        std::count_if(w.plan.steps.begin(), w.plan.steps.begin() + static_cast<std::ptrdiff_t>(i),
                      [&](const Step& earlier) { return earlier.mod == s.mod; });
    std::wstring text =
        std::wstring(w.install ? L"The install" : L"The uninstall") + L" stopped at mod file " +
        std::to_wstring(s.mod + 1) + L" of " + std::to_wstring(w.files.size()) + L", \"" + w.modName(i) +
        L"\": " + std::to_wstring(s.mod) +
        (s.mod == 1 ? L" mod file before it was " : L" mod files before it were ") + verb(w.install);
    if (reached > 0)
        text += L", and this one had reached " + std::to_wstring(reached) + L" of its targets";
    return text + L"; the rest was not touched. ";
}

} // namespace

Outcome unchanged(Unchanged why, bool install, std::wstring file, DWORD error, std::wstring_view modFile) {
    const Stop& stop = row(kStops, why);
    const Names names{modFile, {}, {}};
    return Outcome{Outcome::Kind::Failed, fill(stop.what.of(install), names), std::move(file), error,
                   fill(stop.before, names) + std::wstring(kNothingWasChanged) + stop.after};
}

Outcome anotherRun(bool install) {
    return refused(L"The texture mod cannot be " + verb(install) +
                   L" now: another install or uninstall of texture mods is running in this game folder, in "
                   L"another copy of the program. Wait until it has finished, then try again.");
}

Outcome notEnoughSpace(bool install, uint64_t needed, uint64_t available) {
    return refused(L"The texture mod cannot be " + verb(install) +
                   L": there is not enough free space on the game folder's drive. The " +
                   (install ? L"install" : L"uninstall") + L" needs " + sizeText(needed) + L", and " +
                   sizeText(available) + (available == 1 ? L" is" : L" are") +
                   L" free. Make room on the drive, then try again.");
}

Outcome targetRefused(bool install, const Refusal& refusal) {
    std::wstring text = L"The texture mod cannot be " + verb(install) + L". The mod file \"" +
                        refusal.modFile + L"\" names a target that is not allowed";
    if (!refusal.entry.empty())
        text += L", \"" + refusal.entry + L"\"";
    return refused(text + L": " + refusal.reason);
}

Outcome stepFailed(const Work& w, size_t i, const StepFailure& f) {
    const Names names{w.modName(i), w.plan.steps[i].backup, f.aside};
    const bool whole = f.left == Left::AsItWas || f.left == Left::PutBack;
    std::wstring detail = fill(row(kLeft, f.left).of(w.install), names) + howFar(w, i) +
                          std::wstring(kRest[whole ? 0 : 1].of(w.install));
    Outcome o{Outcome::Kind::Failed, fill(row(kWhat, f.action).of(w.install), names), w.target(i), f.error,
              std::move(detail)};
    o.steps = w.plan.steps.size();
    return o;
}

} // namespace texmods
