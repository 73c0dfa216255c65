#pragma once
// What each target of a texture mod holds now, read from the files on disk. Sizes are compared
// first and bytes only where they match; the other mods' files are read only for targets that are
// neither this mod's nor equal to their backup.
#include "texmods/status.h"

#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace texmods {

// The state of the mod in `modFolder` in the game folder. `others` are the folders of the other
// mods of the catalogue, in its order. Nothing when `cancelled` was set before the end.
std::optional<ModStatus> readStatus(const std::wstring& gameFolder, const std::wstring& modFolder,
                                    const std::vector<std::wstring>& others,
                                    const std::atomic<bool>& cancelled);

} // namespace texmods
