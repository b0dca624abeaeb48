#include "batch/terminal_text.h"

#include <cstdint>
#include <cstdio>

#include "core/utf8.h"

namespace talvor {
namespace {

constexpr char32_t kFirstPrintableAbove7Bit = 0xA0;  // U+0080..U+009F are the C1 controls

// The length of the UTF-8 sequence at the start of bytes when it is well formed and encodes a
// printable character of U+00A0 or above; 0 otherwise.
std::size_t PrintableSequenceLength(std::string_view bytes) {
    const auto decoded = DecodeUtf8(bytes, 0);
    return decoded && decoded->first >= kFirstPrintableAbove7Bit ? decoded->second : 0;
}

}  // namespace

std::string PrintableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<uint8_t>(text[0]);
        std::size_t length = 0;
        if (byte >= 0x20 && byte < 0x7F) {
            length = 1;
        } else if (byte >= 0x80) {
            length = PrintableSequenceLength(text);
        }
        if (length > 0) {
            out.append(text.substr(0, length));
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
            length = 1;
        }
        text.remove_prefix(length);
    }
    return out;
}

}  // namespace talvor
