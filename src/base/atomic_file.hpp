#pragma once
// Output files that appear under their name only when complete: a run that fails or
// is killed while writing leaves the previous file as it was, never a partial one.
#include <sys/types.h>

#include <cstdio>
#include <optional>
#include <string>

namespace orograd {

// A file being written to replace `target` whole.
//
// A new name or a regular file is written under the temporary name
// ".<name>.orograd-XXXXXX<suffix>" in the target's folder and renamed over the target
// by commit(). A symbolic link is followed to the file it names, whose folder takes
// the temporary, so the link stays a link. Anything else (/dev/null, a FIFO, a device)
// is written directly, as a plain fopen would. The temporary gets the permissions
// fopen would give: a replaced file's own, a new one 0666 less the umask.
//
// The destructor closes the stream and removes a temporary that was not committed, so
// a fatal error thrown while writing leaves no temporary behind. There is no fsync:
// the rename protects against failed writes and killed processes, which is the
// promise; surviving a power loss would cost a disk flush per grid.
class AtomicFile {
 public:
  // Creates the temporary (or opens the target directly) for binary writing.
  // `suffix` ends the temporary's name, for writers that pick a format by the ending.
  // Post: opened() and stream() ready; or !opened() and error() the errno of the
  // failure (ENOENT when the folder does not exist, EACCES when it is not writable).
  // Fatal: none.
  explicit AtomicFile(const std::string& target, const std::string& suffix = "");
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool opened() const { return error_ == 0; }
  int error() const { return error_; }
  std::FILE* stream() const { return stream_; }
  // The name being written: the temporary, or the target when written directly.
  const std::string& path() const { return path_; }

  // Closes the stream, flushing it; for writers that then write path() by name.
  // Pre: opened(). Post: 0, or the errno of the failed close.
  int close_stream();

  // Closes the stream and renames the temporary over the target.
  // Pre: opened(). Post: 0 and the target holds what was written; or the errno of
  // the failed step, the target unchanged and the temporary removed by the destructor.
  int commit();

 private:
  void create_temporary(const std::string& final_name, std::optional<mode_t> mode, const std::string& suffix);

  std::FILE* stream_ = nullptr;
  std::string path_;
  std::string final_name_;  // the file the temporary replaces; empty when written directly
  bool committed_ = false;
  int error_ = 0;
};

}  // namespace orograd
