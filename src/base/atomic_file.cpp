// Temporary files renamed over their targets. The temporary is created with
// open(O_EXCL, 0666) rather than mkstemp, so that the umask (and a folder's default
// ACL) applies at creation as it does for fopen.
#include "base/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <random>
#include <utility>

namespace orograd {

namespace {

namespace fs = std::filesystem;

// The name a chain of symbolic links ends in, dangling or not; the name itself when it
// is no link. Stops after 40 links, as the kernel does.
fs::path link_target(fs::path name) {
  std::error_code error;
  for (int links = 0; links < 40 && fs::is_symlink(name, error); ++links) {
    const fs::path next = fs::read_symlink(name, error);
    if (error) break;
    name = next.is_absolute() ? next : name.parent_path() / next;
  }
  return name;
}

// Whether `name` is written under a temporary: it does not exist yet or is a regular
// file, whose permissions then go to `mode`.
bool replaceable(const std::string& name, std::optional<mode_t>& mode) {
  struct stat status;
  if (stat(name.c_str(), &status) != 0) return errno == ENOENT;
  mode = status.st_mode & 07777;
  return S_ISREG(status.st_mode);
}

// Six letters for the temporary's name.
std::string random_letters(std::mt19937_64& random) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string letters(6, ' ');
  for (char& letter : letters) letter = kLetters[random() % (sizeof kLetters - 1)];
  return letters;
}

int last_error() { return errno != 0 ? errno : EIO; }

}  // namespace

AtomicFile::AtomicFile(const std::string& target, const std::string& suffix) : path_(target) {
  const std::string final_name = link_target(target).string();
  std::optional<mode_t> mode;
  // An empty name goes to fopen, which refuses it as it always did.
  if (!target.empty() && replaceable(final_name, mode)) {
    create_temporary(final_name, mode, suffix);
    return;
  }
  errno = 0;
  stream_ = std::fopen(target.c_str(), "wb");
  if (stream_ == nullptr) error_ = last_error();
}

void AtomicFile::create_temporary(const std::string& final_name, std::optional<mode_t> mode, const std::string& suffix) {
  const fs::path final_path(final_name);
  fs::path hidden = ".";
  hidden += final_path.filename();
  hidden += ".orograd-";
  const std::string prefix = (final_path.parent_path() / hidden).string();
  std::mt19937_64 random{std::random_device{}()};
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    path_ = prefix + random_letters(random) + suffix;
    fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    error_ = last_error();
    path_ = final_name;
    return;
  }
  final_name_ = final_name;
  // A replaced file keeps its permissions; a new one has those the umask left.
  if (mode) fchmod(fd, *mode);
  stream_ = fdopen(fd, "wb");
  if (stream_ == nullptr) {
    error_ = last_error();
    close(fd);
  }
}

AtomicFile::~AtomicFile() {
  if (stream_ != nullptr) std::fclose(stream_);
  if (!final_name_.empty() && !committed_) unlink(path_.c_str());
}

int AtomicFile::close_stream() {
  errno = 0;
  std::FILE* stream = std::exchange(stream_, nullptr);
  return stream != nullptr && std::fclose(stream) != 0 ? last_error() : 0;
}

int AtomicFile::commit() {
  if (const int error = close_stream()) return error;
  if (!final_name_.empty() && std::rename(path_.c_str(), final_name_.c_str()) != 0) return last_error();
  committed_ = true;
  return 0;
}

}  // namespace orograd
