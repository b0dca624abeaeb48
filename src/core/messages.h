#pragma once

#include <string>
#include <string_view>

namespace talvor {

class UserInterface;

// The code whose box shows the caller's own text.
inline constexpr int kCallerText = 50;

// The fixed text of a numbered message; empty for a code that has none.
std::string_view MessageText(int code);

// The text a message box shows for a code: the caller's text (at most 498 characters) for
// code 50, the fixed text otherwise.
std::string MessageBoxText(int code, std::string_view callerText);

// Shows a numbered message in a modal box titled "Talvor".
void ReportMessage(UserInterface& ui, int code, std::string_view callerText = {});

}  // namespace talvor
