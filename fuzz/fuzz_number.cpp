// Number conversion: no input crashes it, and what it accepts is what a plain reading gives.
#include "core/number.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto value = core::toInt16(text);
    std::wstring wide(text.begin(), text.end());
    if (core::toInt16(wide) != value)
        abort(); // both forms read alike
    if (value) {
        if (core::toInt16(std::to_string(*value)) != value)
            abort(); // what is written reads back
        // A plain integer (blanks, sign, digits) must give exactly its value.
        size_t b = text.find_first_not_of(" \t"), e = text.find_last_not_of(" \t");
        const std::string core = text.substr(b, e - b + 1);
        if (core.find_first_not_of("+-0123456789") == std::string::npos && core.size() < 12) {
            const long plain = std::strtol(core.c_str(), nullptr, 10);
            if (plain != *value)
                abort();
        }
    }
    return 0;
}
