#pragma once

#include <string_view>
#include <vector>

#include "core/program_settings.h"

namespace talvor {

struct Session;

inline constexpr int kSeparator = 0;

struct MenuItem {
    int id = kSeparator;  // kSeparator draws a rule
    std::string_view text;
};

// One entry of the menu bar: a pop-up with its items, or (id set) a command of its own.
struct MenuBarEntry {
    std::string_view title;
    int id = kSeparator;
    std::vector<MenuItem> items;
};

struct Accelerator {
    std::string_view keys;  // portable key text, e.g. "Ctrl+O"
    int id = 0;
};

struct ToolBarButton {
    int picture = 0;  // number of the button's picture
    int command = 0;
    int gapBefore = 0;  // pixels of space left of the button
};

struct CommandState {
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
};

const std::vector<MenuBarEntry>& MenuBarLayout();
const std::vector<Accelerator>& AcceleratorTable();
// The tool bar, left to right; the telescope button only while a telescope is configured.
std::vector<ToolBarButton> ToolBarLayout(TelescopeType telescope);
// The status-bar hint of a command; empty when it has none.
std::string_view HintText(int id);
// The menu text of a command without its mnemonic markers and accelerator text, for tool tips.
std::string PlainCommandName(int id);

// Whether an item is enabled and checked, by the state it depends on. A command that the
// program does not carry out is greyed by the caller.
CommandState EvaluateCommand(int id, const Session& session, bool hasDisplayBitmap);

}  // namespace talvor
