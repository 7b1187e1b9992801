#pragma once
// A look over the preprocessed control file before any analysis runs: section
// headers the program does not know, sections given twice and mandatory sections
// missing. Each finding is a warning on standard error; the run goes on as it would
// without the check.
#include "base/console.hpp"
#include "control/control_file.hpp"

namespace orograd {

// Warns, citing lines of control.name(), about (1) every header (a bracketed first
// word of a line) that names no known section, with the closest known name when
// one is close; (2) every repeat of a known section; (3) every missing mandatory
// section. Pre: nothing. Post: standard output and the control file's read position
// are untouched.
void check_sections(const ControlFile& control, Console& console);

}  // namespace orograd
