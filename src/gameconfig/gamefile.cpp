#include "gameconfig/gamefile.h"

#include "core/number.h"

namespace gameconfig {
namespace {

constexpr std::string_view kSeparator = " = ";

std::optional<int> number(const std::optional<std::string>& piece, int low, int high) {
    if (!piece)
        return std::nullopt;
    const auto n = core::toInt16(*piece);
    if (!n || *n < low || *n > high)
        return std::nullopt;
    return *n;
}

// The piece of each of the first seven lines between the first " = " and the next one (or the line's
// end). Lines end at CR, CRLF or a lone LF.
std::array<std::optional<std::string>, LineCount> pieces(std::string_view bytes) {
    std::array<std::optional<std::string>, LineCount> out;
    size_t pos = 0;
    for (int line = 0; line < LineCount && pos < bytes.size(); ++line) {
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view text = bytes.substr(pos, end - pos);
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r')
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;

        const size_t first = text.find(kSeparator);
        if (first == std::string_view::npos)
            continue;
        const size_t start = first + kSeparator.size();
        const size_t second = text.find(kSeparator, start);
        out[line] =
            std::string(text.substr(start, second == std::string_view::npos ? text.npos : second - start));
    }
    return out;
}

} // namespace

Loaded parse(std::string_view bytes) {
    const auto p = pieces(bytes);
    Loaded l;
    l.adapter = number(p[Adapter], -1, kAdapterMax);
    l.width = p[Width];
    l.height = p[Height];
    l.antiAliasing = number(p[AntiAliasing], -1, kAntiAliasingMax);
    l.fog = number(p[Fog], 0, kCheckMax);
    l.language = number(p[Language], -1, kLanguageMax);
    l.windowed = number(p[Windowed], 0, kCheckMax);
    return l;
}

std::string format(const Values& v, int16_t useOverlay) {
    const std::array<std::string, LineCount> values = {std::to_string(v.adapter),
                                                       v.width,
                                                       v.height,
                                                       std::to_string(v.antiAliasing),
                                                       std::to_string(v.fog),
                                                       std::to_string(v.language),
                                                       std::to_string(useOverlay == 1 ? 1 : v.windowed)};
    std::string out;
    for (int i = 0; i < LineCount; ++i) {
        out += kPrefixes[i];
        out += values[i];
        out += "\r\n";
    }
    return out;
}

} // namespace gameconfig
