#include "batch/argument_parsing.h"

#include <charconv>

namespace talvor {

std::optional<int> WholeNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<PixelPosition> PointArgument(const std::string& text) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) {
        return std::nullopt;
    }
    const auto x = WholeNumber(text.substr(0, comma));
    const auto y = WholeNumber(text.substr(comma + 1));
    if (!x || !y) {
        return std::nullopt;
    }
    return PixelPosition{*x, *y};
}

}  // namespace talvor
