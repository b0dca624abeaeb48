#pragma once

#include <string>
#include <string_view>

namespace talvor {

// A text from a file made fit to print on a terminal: control bytes (escape sequences, carriage
// returns, C1 controls) and bytes that are not UTF-8 are shown as \xHH instead of reaching the
// terminal, which would act on them. Printable ASCII and UTF-8 characters stay as they are.
std::string PrintableText(std::string_view text);

}  // namespace talvor
