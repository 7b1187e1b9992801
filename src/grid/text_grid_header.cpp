#include "grid/text_grid_header.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "base/fatal.hpp"

namespace orograd {

namespace {

enum Field { ncols, nrows, xll, yll, cellsize, nodata, dx, dy, kFieldCount };

const char* const kFieldNames[kFieldCount] = {"ncols",    "nrows",        "xllcorner", "yllcorner",
                                              "cellsize", "nodata_value", "dx",        "dy"};

struct Key {
  Field field;
  bool centre;  // the value is a cell centre, not the corner
};

struct Keyword {
  const char* name;
  Key key;
};

constexpr Keyword kKeywords[] = {
    {"ncols", {ncols, false}},         {"nrows", {nrows, false}},  {"xllcorner", {xll, false}},
    {"yllcorner", {yll, false}},       {"xllcenter", {xll, true}}, {"yllcenter", {yll, true}},
    {"cellsize", {cellsize, false}},   {"dx", {dx, false}},        {"dy", {dy, false}},
    {"nodata_value", {nodata, false}},
};

// Unknown words take the field of their line in the order this program writes.
constexpr Field kClassicOrder[] = {ncols, nrows, xll, yll, cellsize, nodata};

bool same_word(const std::string& word, const char* keyword) {
  std::size_t i = 0;
  for (; keyword[i] != '\0'; ++i)
    if (i == word.size() || std::tolower(static_cast<unsigned char>(word[i])) != keyword[i]) return false;
  return i == word.size();
}

std::optional<Key> key_of(const std::string& word, int line) {
  for (const Keyword& keyword : kKeywords)
    if (same_word(word, keyword.name)) return keyword.key;
  if (line <= static_cast<int>(std::size(kClassicOrder))) return Key{kClassicOrder[line - 1], false};
  return std::nullopt;
}

class HeaderFields {
 public:
  HeaderFields(const std::string& file_name, Console& console) : file_name_(file_name), console_(console) {}

  bool has(Field field) const { return values_[field].has_value(); }
  void set(Key key, double value) {
    values_[key.field] = value;
    if (key.field == xll) xll_centre_ = key.centre;
    if (key.field == yll) yll_centre_ = key.centre;
  }

  // Six lines, and one more for each spacing given beyond the first.
  int line_limit() const { return 6 + std::max(0, spacing_count() - 1); }
  bool complete() const { return has(ncols) && has(nrows) && has(xll) && has(yll) && spacing_count() > 0; }

  // Refuses a header that lacks a field or whose spacings differ.
  void check() const {
    std::string missing;
    for (Field field : {ncols, nrows, xll, yll})
      if (!has(field)) missing += std::string(missing.empty() ? "" : ", ") + kFieldNames[field];
    if (spacing_count() == 0) missing += std::string(missing.empty() ? "" : ", ") + "cellsize (or dx and dy)";
    if (!missing.empty()) refuse(format("the header lacks %s", missing.c_str()));
    const Field first = first_spacing();
    for (Field field : {cellsize, dx, dy})
      if (field != first && has(field) && *values_[field] != *values_[first])
        refuse(format("%s (%g) and %s (%g) differ; only square cells are supported", kFieldNames[first],
                      *values_[first], kFieldNames[field], *values_[field]));
  }

  void fill(GridFileHeader& slots) const {
    const double size = *values_[first_spacing()];
    slots[1] = *values_[ncols];
    slots[2] = *values_[nrows];
    slots[3] = *values_[xll] - (xll_centre_ ? size / 2 : 0);
    slots[4] = *values_[yll] - (yll_centre_ ? size / 2 : 0);
    slots[5] = size;
    slots[6] = values_[nodata].value_or(kNodata);
  }

  // The header error, with `reason` as a warning naming the file.
  [[noreturn]] void refuse(const std::string& reason) const {
    console_.warn("%s: %s", file_name_.c_str(), reason.c_str());
    grid_header_error(file_name_);
  }

 private:
  int spacing_count() const { return int(has(cellsize)) + int(has(dx)) + int(has(dy)); }
  Field first_spacing() const { return has(cellsize) ? cellsize : has(dx) ? dx : dy; }

  const std::string& file_name_;
  Console& console_;
  std::array<std::optional<double>, kFieldCount> values_;
  bool xll_centre_ = false;
  bool yll_centre_ = false;
};

}  // namespace

void grid_header_error(const std::string& file_name, const std::string& reason) {
  fatal(1, format("error reading fiel header from %s\n", file_name.c_str()), reason);
}

void read_text_grid_header(TextNumberReader& reader, GridFileHeader& slots, const std::string& file_name,
                           Console& console) {
  HeaderFields fields(file_name, console);
  std::string word;
  for (int line = 1; line <= fields.line_limit(); ++line) {
    // A header without nodata_value ends where the cells begin.
    if (fields.complete() && reader.at_number()) break;
    if (!reader.read_word(word)) break;
    const std::optional<Key> key = key_of(word, line);
    if (!key) fields.refuse(format("header line %d: unknown keyword %s", line, word.c_str()));
    if (fields.has(key->field))
      fields.refuse(format("header line %d (%s) gives %s a second time", line, word.c_str(), kFieldNames[key->field]));
    double value;
    if (!reader.read_number(value))
      fields.refuse(format("header line %d (%s): no number follows the keyword", line, word.c_str()));
    fields.set(*key, value);
  }
  fields.check();
  fields.fill(slots);
}

}  // namespace orograd
