#pragma once
// Every section the program reads from the control file, in the order of the run.
// The section functions look their sections up by these names, and the control-file
// check and the help text list them from the same table.
#include <span>
#include <string_view>

namespace orograd {

namespace section {
inline constexpr char elevation_model[] = "[Hoehenmodell]";
inline constexpr char aspect[] = "[Aspect]";
inline constexpr char slope[] = "[Gefaelle]";
inline constexpr char profile_curvature[] = "[Profilcurvature]";
inline constexpr char plan_curvature[] = "[Plancurvature]";
inline constexpr char curvature[] = "[Curvature]";
inline constexpr char horizon[] = "[Horizont]";
inline constexpr char wind_correction[] = "[WindCorrectionFactor]";
inline constexpr char flow_direction[] = "[Flowdirection]";
inline constexpr char snow_redistribution[] = "[SnowRedistribution]";
inline constexpr char flow_accumulation[] = "[Flowaccumulation]";
inline constexpr char river_network[] = "[Flussnetz]";
inline constexpr char stream_orders[] = "[Flussordnungen]";
inline constexpr char flow_correction[] = "[Fliesskorrektur]";
inline constexpr char river_separation[] = "[Flusseparation]";
inline constexpr char travel_times[] = "[Fliesszeiten]";
inline constexpr char subbasins[] = "[Einzugsgebiete]";
}  // namespace section

enum class Presence {
  optional,
  mandatory,           // the run stops when it is missing
  with_aspect_slope,  // mandatory when [Aspect] and [Gefaelle] are both switched on
};

struct SectionInfo {
  std::string_view name;  // with its brackets, as in the control file
  Presence presence;
  std::string_view description;
};

// All known sections in run order. Post: names are distinct and bracketed.
std::span<const SectionInfo> known_sections();

// Whether `word` has the form of a section header: bracketed, as "[Name]".
bool is_section_header(std::string_view word);

// The entry named exactly `name` (case-sensitive, brackets included), or nullptr.
const SectionInfo* find_known_section(std::string_view name);

}  // namespace orograd
