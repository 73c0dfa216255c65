// The window tests' main: no real message box may ever block a test.
#include "harness/harness.h"

#include <ole2.h>

int main(int argc, char** argv) {
    OleInitialize(nullptr);
    platform::install(&harness::recorder());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
