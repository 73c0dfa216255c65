// The game's file: any bytes read without a crash, each control is offered only a value it
// accepts, and writing after reading gives lines that read back the same.
#include "gameconfig/gamefile.h"

#include <cstdlib>
#include <string>

using namespace gameconfig;

namespace {
void check(bool ok) {
    if (!ok)
        abort();
}
bool inRange(const std::optional<int>& v, int low, int high) {
    return !v || (*v >= low && *v <= high);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const Loaded l = parse(bytes);
    check(inRange(l.adapter, -1, kAdapterMax) && inRange(l.antiAliasing, -1, kAntiAliasingMax) &&
          inRange(l.language, -1, kLanguageMax) && inRange(l.fog, 0, kCheckMax) &&
          inRange(l.windowed, 0, kCheckMax));
    for (const auto* text : {&l.width, &l.height})
        check(!*text || (*text)->find_first_of("\r\n") == std::string::npos);

    const Values d;
    const Values v{l.adapter.value_or(d.adapter),  l.width.value_or(d.width),
                   l.height.value_or(d.height),    l.antiAliasing.value_or(d.antiAliasing),
                   l.fog.value_or(d.fog),          l.language.value_or(d.language),
                   l.windowed.value_or(d.windowed)};
    const std::string out = format(v, 0);
    // Texts holding the separator themselves are cut at it on reading, as the game's own reader does.
    const Loaded back = parse(out);
    check(back.adapter == v.adapter && back.antiAliasing == v.antiAliasing && back.fog == v.fog &&
          back.language == v.language && back.windowed == v.windowed);
    if (v.width.find(" = ") == std::string::npos)
        check(back.width == v.width);
    return 0;
}
