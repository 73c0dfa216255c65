#include "texmods/status.h"

#include <map>

namespace texmods {
namespace {

// One group of targets in the line: how many, and what they are ("is this mod's", "are this mod's").
struct Part {
    Holds holds;
    size_t count;
    std::wstring one, many;
};

std::wstring verbOf(const Part& p) {
    return p.count == 1 ? p.one : p.many;
}

Part holding(Holds holds, size_t count, const std::wstring& what) {
    return {holds, count, L"is " + what, L"are " + what};
}

// The groups in the order the line names them: this mod, the other mods in catalogue order, the
// game, then what is neither.
std::vector<Part> partsOf(const std::vector<TargetState>& targets, const std::vector<std::wstring>& others) {
    std::map<Holds, size_t> of;
    std::vector<size_t> theirs(others.size());
    for (const TargetState& t : targets) {
        ++of[t.holds];
        if (t.holds == Holds::OtherMod)
            ++theirs.at(t.otherMod);
    }
    std::vector<Part> parts{holding(Holds::ThisMod, of[Holds::ThisMod], L"this mod's")};
    for (size_t i = 0; i < others.size(); ++i)
        parts.push_back(holding(Holds::OtherMod, theirs[i], others[i] + L"'s"));
    parts.push_back(holding(Holds::Game, of[Holds::Game], L"the game's own"));
    parts.push_back({Holds::Changed, of[Holds::Changed], L"has been changed", L"have been changed"});
    parts.push_back(holding(Holds::Missing, of[Holds::Missing], L"missing"));
    std::erase_if(parts, [](const Part& p) { return p.count == 0; });
    return parts;
}

std::wstring refusedLine(const Refusal& r) {
    if (r.entry.empty())
        return L"Cannot be installed: the target list \"" + r.modFile + L".txt\" holds no line.";
    return L"Cannot be installed: \"" + r.modFile + L"\" names a target that is not allowed, \"" + r.entry +
           L"\".";
}

std::wstring nothingLine(size_t modFiles) {
    if (modFiles == 0)
        return L"Nothing to install: the folder holds no mod files (*.sz).";
    return L"Nothing to install: its target lists name no file.";
}

} // namespace

TargetState stateOf(const TargetFacts& f) {
    if (!f.exists)
        return {Holds::Missing};
    if (f.equalsMod)
        return {Holds::ThisMod};
    if (f.backup == TargetFacts::Backup::Equal)
        return {Holds::Game};
    if (f.otherMod)
        return {Holds::OtherMod, *f.otherMod};
    // With no backup, no install has replaced it: what is there is what the game brought.
    if (f.backup == TargetFacts::Backup::None)
        return {Holds::Game};
    return {Holds::Changed};
}

std::wstring statusLine(const ModStatus& status, const std::vector<std::wstring>& otherMods) {
    if (!status.unread.empty())
        return L"Cannot tell: " + status.unread + L" could not be read.";
    if (status.refusal)
        return refusedLine(*status.refusal);
    const size_t total = status.targets.size();
    if (total == 0)
        return nothingLine(status.modFiles);
    const std::vector<Part> parts = partsOf(status.targets, otherMods);
    const bool mine = parts.front().holds == Holds::ThisMod;
    std::wstring line = L"Partly installed: ";
    if (mine && parts.size() == 1)
        line = L"Installed: ";
    else if (parts.size() == 1 && parts.front().holds == Holds::Game)
        return L"Not installed.";
    else if (!mine)
        line = L"Not installed: ";
    if (parts.size() == 1)
        return line +
               (total == 1 ? L"its one file " + parts[0].one
                           : L"all " + std::to_wstring(total) + L" files " + parts[0].many) +
               L".";
    line +=
        std::to_wstring(parts[0].count) + L" of " + std::to_wstring(total) + L" files " + verbOf(parts[0]);
    for (size_t i = 1; i < parts.size(); ++i)
        line += L", " + std::to_wstring(parts[i].count) + L" " + verbOf(parts[i]);
    return line + L".";
}

} // namespace texmods
