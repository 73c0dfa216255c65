#include "gameconfig/gamefile.h"

#include <gtest/gtest.h>

using namespace gameconfig;

namespace {

// The seven values as text, "-" where a line was refused.
std::string shown(const Loaded& l) {
    std::string out;
    for (const auto& n : {l.adapter, l.antiAliasing, l.fog, l.language, l.windowed})
        out += (n ? std::to_string(*n) : "-") + " ";
    return out + "[" + l.width.value_or("-") + "][" + l.height.value_or("-") + "]";
}

} // namespace

TEST(GameFile, ReadsEachLineByPositionAndRefusesWhatItsControlWouldNot) {
    const std::pair<const char*, const char*> cases[] = {
        {"DX/ADAPTER = 1\r\nDX/RES/WIDTH = 1024\r\nDX/RES/HEIGHT = 768\r\nDX/ANTIALIASING = 2\r\n"
         "DX/FOG = 0\r\nLANGUAGE = 3\r\nDX/WINDOWED = 1\r\nDX/EXTRA = 9\r\n",
         "1 2 0 3 1 [1024][768]"},
        // Names are not looked at; every line ending counts; numbers may carry blanks, texts keep theirs.
        {"A = 2\rB = 800\nC =  600 \r\nD =  1 \rE = 2\rF = 4\rG = 0", "2 1 2 4 0 [800][ 600 ]"},
        // The piece between the first two separators; a line without " = " is refused.
        {"DX/ADAPTER=1\r\nW = 1280 = junk\r\nDX/RES/HEIGHT 720\r\n", "- - - - - [1280][-]"},
        // Each control takes only its range; fractions go to the nearest, a half to even.
        {"A = -1\r\nW = x\r\nH = \r\nAA = 3\r\nF = 2\r\nL = 5\r\nWin = 2.5\r\n", "-1 - 2 - 2 [x][]"},
        {"A = 3\r\nW = 1\r\nH = 1\r\nAA = -1\r\nF = -1\r\nL = -1\r\nWin = 3\r\n", "- -1 - -1 - [1][1]"},
        {"", "- - - - - [-][-]"}, // an empty or short file leaves the rest untouched
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(shown(parse(bytes)), expected) << bytes;
}
