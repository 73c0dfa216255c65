#pragma once
// Whether a texture mod is installed, summed up in one line for the player from what each of its
// targets holds now. No file access here: the facts are gathered from the disk elsewhere.
#include "texmods/plan.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace texmods {

// What one target of the mod holds.
enum class Holds { ThisMod, Game, OtherMod, Changed, Missing };

// What is known of one target. The facts are gathered in this order, each only while those
// before it leave the answer open, so that no file is read that cannot change it.
struct TargetFacts {
    enum class Backup { None, Equal, Differs };
    bool exists = false;
    bool equalsMod = false;         // its bytes equal the mod file that an install puts there
    Backup backup = Backup::None;   // its backup, and whether the target's bytes equal it
    std::optional<size_t> otherMod; // the first other mod of the catalogue whose file for it it equals
};

struct TargetState {
    Holds holds = Holds::Missing;
    size_t otherMod = 0; // OtherMod: which one
};

TargetState stateOf(const TargetFacts& facts);

// A mod as the line tells of it: why it cannot be told or installed, or the state of each target.
struct ModStatus {
    std::wstring unread;            // what of the mod could not be read: "\"a.sz.txt\"", "the mod's folder"
    std::optional<Refusal> refusal; // its plan is refused
    size_t modFiles = 0;
    std::vector<TargetState> targets; // one for each distinct target, in plan order
};

// "Partly installed: 5 of 12 files are this mod's, 3 are Rain Pack's, 4 are the game's own."
// `otherMods` names the other mods of the catalogue, as TargetState::otherMod counts them.
std::wstring statusLine(const ModStatus& status, const std::vector<std::wstring>& otherMods);

} // namespace texmods
