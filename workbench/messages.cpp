#include "messages.h"

#include "ui/controls.h"
#include "ui/platform.h"

namespace wb {

namespace {
ui::Control* g_box = nullptr;
}

void set_message_window(ui::Control* box) { g_box = box; }
ui::Control* message_window() { return g_box; }

void add_message(const std::string& text, bool same_line) {
    if (!g_box) return;
    g_box->set_text(text + (same_line ? "" : "\r\n") + g_box->text());
    ui::platform().refresh();
}

}  // namespace wb
