#include "control/section_check.hpp"

#include <map>
#include <string>
#include <vector>

#include "control/name_suggestion.hpp"
#include "control/section_names.hpp"

namespace orograd {

namespace {

struct Header {
  std::string name;
  std::size_t line;
  // The lookup of sections finds a header only when a line end follows it.
  bool findable;
};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The bracketed first words of the lines of `text`, with their line numbers.
std::vector<Header> collect_headers(const std::string& text) {
  std::vector<Header> headers;
  std::size_t line = 1;
  for (std::size_t start = 0; start < text.size(); ++line) {
    const std::size_t line_end = text.find('\n', start);
    const std::size_t end = line_end == std::string::npos ? text.size() : line_end;
    std::size_t word_start = start;
    while (word_start < end && is_blank(text[word_start])) ++word_start;
    std::size_t word_end = word_start;
    while (word_end < end && !is_blank(text[word_end])) ++word_end;
    const std::string word = text.substr(word_start, word_end - word_start);
    if (is_section_header(word)) headers.push_back({word, line, line_end != std::string::npos});
    start = end + 1;
  }
  return headers;
}

void warn_unknown(const std::vector<Header>& headers, const std::string& file, Console& console) {
  std::vector<std::string_view> names;
  for (const SectionInfo& info : known_sections()) names.push_back(info.name);
  for (const Header& header : headers) {
    if (find_known_section(header.name) != nullptr) continue;
    const std::string suggestion(closest_name(header.name, names));
    if (suggestion.empty())
      console.warn("unknown section %s in line %zu of %s; the program reads no section of that name",
                   header.name.c_str(), header.line, file.c_str());
    else
      console.warn("unknown section %s in line %zu of %s; did you mean %s?", header.name.c_str(), header.line,
                   file.c_str(), suggestion.c_str());
  }
}

void warn_repeated(const std::vector<Header>& headers, const std::string& file, Console& console) {
  std::map<std::string, std::size_t> first_line;
  for (const Header& header : headers) {
    if (!header.findable || find_known_section(header.name) == nullptr) continue;
    const auto [first, inserted] = first_line.emplace(header.name, header.line);
    if (!inserted)
      console.warn("section %s appears again in line %zu of %s (first in line %zu); only the first counts",
                   header.name.c_str(), header.line, file.c_str(), first->second);
  }
}

std::string mandatory_list() {
  std::string list;
  for (const SectionInfo& info : known_sections())
    if (info.presence == Presence::mandatory) list += (list.empty() ? "" : ", ") + std::string(info.name);
  return list;
}

void warn_missing(const std::vector<Header>& headers, const std::string& file, Console& console) {
  for (const SectionInfo& info : known_sections()) {
    if (info.presence != Presence::mandatory) continue;
    bool present = false;
    for (const Header& header : headers) present = present || (header.findable && header.name == info.name);
    if (!present)
      console.warn("mandatory section %s is missing from %s; every control file needs %s",
                   std::string(info.name).c_str(), file.c_str(), mandatory_list().c_str());
  }
}

}  // namespace

void check_sections(const ControlFile& control, Console& console) {
  const std::vector<Header> headers = collect_headers(control.text());
  warn_unknown(headers, control.name(), console);
  warn_repeated(headers, control.name(), console);
  warn_missing(headers, control.name(), console);
}

}  // namespace orograd
