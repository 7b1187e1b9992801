// The control-file preprocessor. Pass 1 collects the `$set` symbols, each value
// substituted when it is defined; pass 2 writes every line with comments cut,
// symbols replaced and "//" joins removed.
#include "control/Steuer.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/atomic_file.hpp"
#include "base/fatal.hpp"

namespace orograd {

namespace {

constexpr std::size_t kMaxLineLength = 1199;
constexpr std::size_t kMaxSymbols = 1999;
constexpr std::size_t kMaxSymbolText = 299;

struct Symbol {
  std::string name;
  std::string value;
};
using SymbolTable = std::vector<Symbol>;

[[noreturn]] void limit_error(std::size_t line_number, const std::string& what) {
  fatal(18, format("error in control file at line %zu: %s\n", line_number, what.c_str()),
        "the preprocessor takes lines up to 1199 characters, up to 1999 symbols, and symbol names and values up "
        "to 299 characters; shorten or split what is too long");
}

// Cuts a comment: everything from the first "#" after the first character on goes.
// A blank or tab just before the "#" goes with it; any other character stays, so a
// value written directly before the "#" keeps its last character. The cut line ends
// with a line end.
void cut_comment(std::string& line) {
  const std::size_t hash = line.find('#', 1);
  if (hash == std::string::npos) return;
  const char before = line[hash - 1];
  line.resize(before == ' ' || before == '\t' ? hash - 1 : hash);
  line.push_back('\n');
}

void report_undefined(std::size_t line_number, const std::string& line_as_read) {
  std::string shown = line_as_read;
  if (!shown.empty() && shown.back() == '\n') shown.pop_back();
  fatal(17, format("\n-----------------------------------------------------------\n"
                   "\npossible error in control file!\n\n"
                   "undefied symbol at line %zu:\n%s\n"
                   "\n-----------------------------------------------------------\n",
                   line_number, shown.c_str()),
        format("symbols must be defined with \"$set $name = value\" on a line before their first use "
               "(line %zu)", line_number));
}

// The symbol name at `dollar`: up to the next blank or line end, cut before "//".
std::string symbol_name_at(const std::string& line, std::size_t dollar) {
  std::size_t end = line.find_first_of(" \t\r\n", dollar);
  if (end == std::string::npos) end = line.size();
  std::string name = line.substr(dollar, end - dollar);
  const std::size_t joint = name.find("//");
  if (joint != std::string::npos) name.resize(joint);
  return name;
}

// Comment rule, symbol substitution and "//" removal on one line; definition lines
// get the comment rule only. `defining` is the entry whose value is being
// substituted: a value that uses its own symbol would grow without end.
void substitute_symbols(std::string& line, std::size_t line_number, const std::string& line_as_read,
                        const SymbolTable& table, const Symbol* defining = nullptr) {
  cut_comment(line);
  if (line.find("$set") != std::string::npos) return;
  for (std::size_t dollar; (dollar = line.find('$')) != std::string::npos;) {
    const std::string name = symbol_name_at(line, dollar);
    const Symbol* found = nullptr;
    for (const Symbol& symbol : table) {
      if (symbol.name == name) {
        found = &symbol;
        break;
      }
    }
    if (found == nullptr) report_undefined(line_number, line_as_read);
    if (found == defining) limit_error(line_number, "symbol " + name + " is defined by itself");
    line.replace(dollar, name.size(), found->value);
    if (line.size() > kMaxLineLength)
      limit_error(line_number, format("line longer than %zu characters after substitution", kMaxLineLength));
  }
  for (std::size_t joint; (joint = line.find("//")) != std::string::npos;) line.erase(joint, 2);
}

bool contains_any(const std::string& text, std::initializer_list<const char*> parts) {
  for (const char* part : parts)
    if (text.find(part) != std::string::npos) return true;
  return false;
}

bool is_number(const std::string& text) {
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0';
}

void warn_duplicate_values(const SymbolTable& table, Console& console) {
  const Symbol& added = table.back();
  if (table.size() < 2 || is_number(added.value) ||
      contains_any(added.value, {"inf", "nan", "INF", "NAN", "Inf", "Nan"}))
    return;
  for (std::size_t i = 0; i + 1 < table.size(); ++i) {
    if (table[i].value != added.value) continue;
    console.write("\n------------------------ WARNING --------------------------\n");
    console.write("\npossible error in control file!\n\n");
    console.print("content of symbol %s is the same as symbol %s, \n (what is: %s).\n", table[i].name.c_str(),
                  added.name.c_str(), added.value.c_str());
    console.write("this may leed to collusions!\n");
    console.write("\n-----------------------------------------------------------\n");
  }
}

void define_symbol(SymbolTable& table, const std::string& line, std::size_t line_number, Console& console) {
  if (table.size() >= kMaxSymbols) limit_error(line_number, format("more than %zu symbols", kMaxSymbols));
  std::istringstream words(line);
  std::string set_word, name, ignored, value;
  if (!(words >> set_word >> name >> ignored >> value))
    limit_error(line_number, "a definition needs $set, a name, a word such as \"=\" and a value");
  if (name.size() > kMaxSymbolText || value.size() > kMaxSymbolText)
    limit_error(line_number, format("symbol name or value longer than %zu characters", kMaxSymbolText));
  table.push_back({name, value});
  Symbol& added = table.back();
  substitute_symbols(added.value, line_number, line, table, &added);
  if (added.value.size() > kMaxSymbolText)
    limit_error(line_number, format("symbol value longer than %zu characters", kMaxSymbolText));
  warn_duplicate_values(table, console);
}

// Splits the file into lines, each with its line end (the last may have none).
std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

}  // namespace

std::string preprocessed_file_name(const std::string& control_file_name) {
  const std::size_t separator = control_file_name.find_last_of("\\/");
  const std::size_t search_from = separator == std::string::npos ? 1 : separator + 1;
  const std::size_t dot = control_file_name.rfind('.');
  const bool has_extension = dot != std::string::npos && dot >= search_from;
  return (has_extension ? control_file_name.substr(0, dot) : control_file_name) + ".$$$";
}

std::string preprocess_control_file(const std::string& control_file_name, Console& console) {
  console.print("file %s, compiled at %s, %s\n", "..\\..\\Steuer", __DATE__, __TIME__);
  console.print("compiling symbols in control file %s\n", control_file_name.c_str());
  const std::string output_name = preprocessed_file_name(control_file_name);

  std::ifstream in(control_file_name, std::ios::binary);
  if (!in) fatal(28, "error opening " + control_file_name + "\n", file_failure("read", control_file_name, errno));
  std::ostringstream contents;
  contents << in.rdbuf();
  const std::vector<std::string> lines = split_lines(contents.str());
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].size() > kMaxLineLength + 1 || (lines[i].size() > kMaxLineLength && lines[i].back() != '\n'))
      limit_error(i + 1, format("line longer than %zu characters", kMaxLineLength));

  SymbolTable table;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string working = " " + lines[i];
    cut_comment(working);
    if (lines[i].front() != '#' && working.find("$set") != std::string::npos)
      define_symbol(table, working, i + 1, console);
  }

  std::string output;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string working = " " + lines[i];
    substitute_symbols(working, i + 1, lines[i], table);
    if (working.size() > 1 && working[1] == '$') continue;
    output.append(working, 1, std::string::npos);
  }

  // The preprocessed copy is written beside the control file.
  AtomicFile file(output_name);
  if (!file.opened()) fatal(28, "error opening " + output_name + "\n", file_failure("write", output_name, file.error()));
  errno = 0;
  const bool written = std::fwrite(output.data(), 1, output.size(), file.stream()) == output.size();
  const int error = written ? file.commit() : errno;
  if (!written || error != 0) fatal(11, "error closing " + output_name + "\n", file_failure("write", output_name, error));
  return output_name;
}

}  // namespace orograd
