#pragma once
// What an install or uninstall will do, worked out before any file is touched: which mod file
// goes to which game file, under which backup name, or why the run is refused. No file access
// here, so that every rule is checked on any input.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace texmods {

// One mod file as the folder listing and its target list file give it.
struct ModFile {
    std::wstring name;                     // "a^b^c.sz"
    bool hasList = false;                  // "a^b^c.sz.txt" exists beside it
    std::optional<std::wstring> firstLine; // the list's first line; none when the file holds no line
    uint64_t bytes = 0;                    // the mod file's size
};

// One copy step. The target is relative to the game folder (with "\"), the backup is a name in
// the backup folder (the entry as written, "^" kept).
struct Step {
    size_t mod = 0; // position of the mod file in the input
    std::wstring target;
    std::wstring backup;
};

struct Refusal {
    std::wstring modFile;
    std::wstring entry;
    std::wstring reason;
};

struct Plan {
    std::vector<Step> steps;        // in the order they run; empty when refused
    std::optional<Refusal> refusal; // set: nothing may be copied
};

// Whether two names are one file's, as the file system compares them (the caller gives the
// system's comparison: a name that only it takes for "texpacks" must be refused too).
using SameName = bool (*)(std::wstring_view, std::wstring_view);

// The steps for the mod files in the order given. Empty entries of a list are skipped; any
// other entry that could reach outside the game folder or into the backups refuses the run.
Plan makePlan(const std::vector<ModFile>& files, SameName sameName);

// Why an entry (in its "^" form) may not be used as a target, or nothing when it may.
std::optional<std::wstring> targetProblem(std::wstring_view entry, SameName sameName);

// One step of a run as the free-space estimate sees it.
struct SpaceStep {
    uint64_t writes = 0;      // bytes the step copies: the mod file, or the backup
    std::wstring target;      // the target's path as the file system compares names; empty when
                              // no file was there before the run
    uint64_t targetBytes = 0; // that file's size
    bool backedUp = false;    // the target's backup existed before the run
};

// The most space a run takes at any moment beyond what it has at its start, each file rounded up to
// whole clusters. Each step writes its copy before it lets go of the file it replaces. Install moves
// a game file that has no backup yet into the backup folder, so that file keeps its space, and
// deletes a file that already has one; uninstall deletes the file that the backup replaces. A file
// at a target absent before the run is never counted as freed, which errs on the safe side.
uint64_t spaceNeeded(const std::vector<SpaceStep>& steps, bool install, uint64_t cluster);

// A size for the user: "12.5 MB (13,107,200 bytes)".
std::wstring sizeText(uint64_t bytes);

// The first line of a text file's bytes (ended by CR, LF or CR LF), or nothing for an empty file.
std::optional<std::string> firstLine(std::string_view bytes);

// The description shown for a readme: every line followed by two blanks, line breaks dropped.
std::string describe(std::string_view bytes);

// Whether a listed file name is a mod file name: "*.sz", the case of the ASCII letters aside.
bool isModFileName(std::wstring_view name);

// Ascending order of name, the ASCII letters taken in lower case ("z_" before "zz"), as the folder
// listings have always shown it; names equal so are in the order of their code units.
void sortNames(std::vector<std::wstring>& names);

} // namespace texmods
