#pragma once
// The tools of the main window's Tools frame and the Top View, handed to the main window by the
// program's entry point: adding a tool touches this file and the tool's own folder only.
#include "workbench/form1.h"

namespace app {

// Adds the seven tool buttons to the main window, in their places.
void add_tools(wb::Form1& form);

}  // namespace app
