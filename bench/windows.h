#pragma once
// Every window of the program, each with the steps that open it as a player would.
#include "toolkit/form.h"

#include <functional>
#include <vector>

namespace bench {

struct Window {
    std::function<tk::Form&()> form; // the single instance
    std::function<tk::Form&()> open; // opens it (and whatever opens it), returns it
};

const std::vector<Window>& windows();

} // namespace bench
