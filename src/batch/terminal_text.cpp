#include "batch/terminal_text.h"

#include <cstdint>
#include <cstdio>

namespace talvor {
namespace {

constexpr char32_t kFirstPrintableAbove7Bit = 0xA0;  // U+0080..U+009F are the C1 controls

// The length of the UTF-8 sequence at the start of bytes when it is well formed (shortest form,
// no surrogate) and encodes a printable character of U+00A0 or above; 0 otherwise.
std::size_t PrintableSequenceLength(std::string_view bytes) {
    const auto lead = static_cast<uint8_t>(bytes[0]);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<uint8_t>(bytes[i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool wellFormed =
        code >= shortest[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    return wellFormed && code >= kFirstPrintableAbove7Bit ? length : 0;
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
