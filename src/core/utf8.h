#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace talvor {

// The code point of a well-formed UTF-8 sequence starting at `at` (shortest form, no surrogate,
// at most U+10FFFF), and its length in bytes; nothing for any other bytes.
std::optional<std::pair<char32_t, std::size_t>> DecodeUtf8(std::string_view text, std::size_t at);

}  // namespace talvor
