#include "control/section_names.hpp"

#include <array>

namespace orograd {

namespace {

using enum Presence;

constexpr std::array kSections{
    SectionInfo{section::elevation_model, optional, "elevation model read in"},
    SectionInfo{section::aspect, mandatory, "aspect (exposition)"},
    SectionInfo{section::slope, mandatory, "slope"},
    SectionInfo{section::profile_curvature, mandatory, "profile curvature"},
    SectionInfo{section::plan_curvature, mandatory, "plan curvature"},
    SectionInfo{section::curvature, mandatory, "curvature"},
    SectionInfo{section::horizon, with_aspect_slope, "horizon elevation"},
    SectionInfo{section::wind_correction, with_aspect_slope, "wind sheltering over a sector of azimuths"},
    SectionInfo{section::flow_direction, optional, "depressionless flow directions"},
    SectionInfo{section::snow_redistribution, optional, "snow redistribution grids"},
    SectionInfo{section::flow_accumulation, optional, "flow accumulation"},
    SectionInfo{section::river_network, optional, "river network"},
    SectionInfo{section::stream_orders, optional, "stream orders and river links"},
    SectionInfo{section::flow_correction, optional, "correction of flow directions along rivers"},
    SectionInfo{section::river_separation, optional, "river separation by stream order"},
    SectionInfo{section::travel_times, optional, "flow travel times"},
    SectionInfo{section::subbasins, optional, "subbasins and the routing structure file"},
};

}  // namespace

std::span<const SectionInfo> known_sections() { return kSections; }

bool is_section_header(std::string_view word) {
  return word.size() >= 2 && word.front() == '[' && word.back() == ']';
}

const SectionInfo* find_known_section(std::string_view name) {
  for (const SectionInfo& info : kSections)
    if (info.name == name) return &info;
  return nullptr;
}

}  // namespace orograd
