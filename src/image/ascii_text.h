#pragma once

#include <string>
#include <string_view>

namespace talvor {

// The text as FITS header cards may hold it: printable ASCII only. UTF-8 letters of the Latin
// alphabets become their nearest ASCII letters ("é" e, "ß" ss, "Ø" O), typographic quotes and
// dashes their plain forms, control characters spaces, and anything else a question mark. Bytes
// that are not UTF-8 are taken as Latin-1 (older settings files were written that way).
std::string AsciiText(std::string_view text);

}  // namespace talvor
