#include "driver/help_text.hpp"

#include "base/fatal.hpp"
#include "control/section_names.hpp"

namespace orograd {

namespace {

constexpr const char* kCommand = "usage: orograd <control-file> [-f:t|s|d]\n";
constexpr const char* kFormatSwitch =
    "-f:t|s|d output format for grids: t=text (with double precision, this is default), "
    "s=single precision, d=double precision\n";

const char* presence_mark(Presence presence) {
  switch (presence) {
    case Presence::mandatory: return "*";
    case Presence::with_aspect_slope: return "+";
    case Presence::optional: break;
  }
  return " ";
}

#if defined(__clang__)
constexpr const char* kCompiler = "clang ";
#elif defined(__GNUC__)
constexpr const char* kCompiler = "GCC ";
#else
constexpr const char* kCompiler = "";
#endif

std::string section_lines() {
  std::string lines;
  for (const SectionInfo& info : known_sections())
    lines += format("  %s %-24s %s\n", presence_mark(info.presence), std::string(info.name).c_str(),
                    std::string(info.description).c_str());
  return lines;
}

}  // namespace

std::string usage_text() { return std::string("\n") + kCommand + "\n" + kFormatSwitch; }

std::string help_text() {
  return std::string(kCommand) + "       orograd --help | -h | --version\n\n" +
         "Runs the analyses that the control file switches on, always in the order of the sections below.\n\n" +
         kFormatSwitch + "\nSections, in run order (* mandatory; + mandatory when [Aspect] and [Gefaelle] are on):\n" +
         section_lines() +
         "\nWarnings about the control file (unknown, repeated, missing or too short sections) go to\n"
         "standard error. Full reference: README.md in the sources and `man orograd`.\n";
}

std::string version_text() {
  return format("orograd %s\nbuild: %s, %s GDAL\ncompiler: %s%s\n", OROGRAD_VERSION,
                OROGRAD_SEQUENTIAL ? "sequential" : "parallel (OpenMP)", OROGRAD_GDAL ? "with" : "without",
                kCompiler, __VERSION__);
}

}  // namespace orograd
