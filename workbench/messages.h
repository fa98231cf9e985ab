#pragma once
// The main window's message window: newest message on top.
#include <string>

namespace ui { class Control; }

namespace wb {

// Puts text on top of the message window, followed by a line break unless same_line, then
// repaints at once so that messages appear while a long action runs.
void add_message(const std::string& text, bool same_line = false);
// The text box that receives messages (the main window registers its own).
void set_message_window(ui::Control* box);
ui::Control* message_window();

}  // namespace wb
