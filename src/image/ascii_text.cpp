#include "image/ascii_text.h"

#include <cstdint>
#include <optional>

#include "core/utf8.h"

namespace talvor {
namespace {

// U+00C0..U+00FF and U+0100..U+017F, one base letter each; '*' marks the few that spell as two.
constexpr std::string_view kLatin1Letters =
    "AAAAAA*CEEEEIIII"
    "DNOOOOOxOUUUUY**"
    "aaaaaa*ceeeeiiii"
    "dnooooo/ouuuuy*y";
constexpr std::string_view kLatinExtendedA =
    "AaAaAaCcCcCcCcDd"
    "DdEeEeEeEeEeGgGg"
    "GgGgHhHhIiIiIiIi"
    "Ii**JjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOo"
    "Oo**RrRrRrSsSsSs"
    "SsTtTtTtUuUuUuUu"
    "UuUuWwYyYZzZzZzs";

std::string_view TwoLetterSpelling(char32_t code) {
    switch (code) {
        case 0xC6:
            return "AE";
        case 0xDE:
            return "TH";
        case 0xDF:
            return "ss";
        case 0xE6:
            return "ae";
        case 0xFE:
            return "th";
        case 0x132:
            return "IJ";
        case 0x133:
            return "ij";
        case 0x152:
            return "OE";
        case 0x153:
            return "oe";
    }
    return "?";
}

std::string_view SymbolSpelling(char32_t code) {
    switch (code) {
        case 0xA0:  // no-break space
        case 0x2002:
        case 0x2003:
        case 0x2009:
            return " ";
        case 0xB4:
        case 0x2018:
        case 0x2019:
        case 0x201A:
        case 0x2032:
            return "'";
        case 0x201C:
        case 0x201D:
        case 0x201E:
        case 0x2033:
            return "\"";
        case 0x2010:
        case 0x2011:
        case 0x2012:
        case 0x2013:
        case 0x2014:
        case 0x2212:
            return "-";
        case 0x2026:
            return "...";
        case 0xB0:
            return "deg";
        case 0xB5:
            return "u";
        case 0xD7:
            return "x";
    }
    return "?";
}

void AppendAscii(std::string& out, char32_t code) {
    if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0)) {
        out += ' ';
    } else if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code >= 0x300 && code < 0x370) {
        // A combining accent written after its letter: the letter is already there.
    } else if (code >= 0xC0 && code < 0x100) {
        const char letter = kLatin1Letters[code - 0xC0];
        out += letter == '*' ? TwoLetterSpelling(code) : std::string_view(&letter, 1);
    } else if (code >= 0x100 && code < 0x180) {
        const char letter = kLatinExtendedA[code - 0x100];
        out += letter == '*' ? TwoLetterSpelling(code) : std::string_view(&letter, 1);
    } else {
        out += SymbolSpelling(code);
    }
}

}  // namespace

std::string AsciiText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<uint8_t>(text[at]);
        if (byte < 0x80) {
            AppendAscii(out, byte);
            ++at;
        } else if (const auto decoded = DecodeUtf8(text, at)) {
            AppendAscii(out, decoded->first);
            at += decoded->second;
        } else {
            AppendAscii(out, byte);  // Latin-1
            ++at;
        }
    }
    return out;
}

}  // namespace talvor
