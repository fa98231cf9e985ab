#pragma once
// The model's parameter dictionary in the header file: the table that names the model's
// run-time parameters. Aircraft lights need its light-state entry.
#include <string>

#include "workbench/ext_parameters.h"
#include "workbench/text_file.h"

namespace cg {

extern const char* const kLightStateName;  // "    dict_g_lightStates equ "
extern const char* const kLightStateWords; // the four words that identify the light states

// Reads the dictionary of a header held as a line array into list (entries sorted by offset).
// Raises error 9 past 300 dictionary lines or 100 entries.
void read_ext_parameters(const wb::LineArray& header, wb::ExtParameterList& list);
// The same from the file base + ".asm"; on failure the critical box "File ... cannot be opened
// (load_ext_parameters): ..." and false.
bool load_ext_parameters(const std::string& base, wb::ExtParameterList& list);

// Rewrites the dictionary that azm_lines hold from list: the old body is kept commented out,
// the new entries follow the label line and the header's block-size line is set.
void update_dictionary(wb::LineArray& azm_lines, wb::ExtParameterList& list);
// Adds a dictionary, and the visual model header fields that point to it, to a header without one.
void create_dictionary(wb::LineArray& azm_lines, wb::ExtParameterList& list);

// Makes sure the header's dictionary holds the light-state entry. Returns false when it was
// already there (nothing changed).
bool add_light_state_entry(wb::LineArray& azm_lines, wb::ExtParameterList& list);

}  // namespace cg
