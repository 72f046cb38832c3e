// Keeps what a library prints on standard error off a terminal while it
// looks for a device: in the terminal front-end those lines would land in the
// middle of the console's screen. A library whose lines never help the user
// (the sound system's own complaints) is kept quiet on a file or pipe too.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace quipular {

class QuietStandardError {
 public:
  explicit QuietStandardError(bool always = false) {
    if (!always && !isatty(2)) return;  // a file or a pipe keeps every message
    std::fflush(stderr);
    saved_ = dup(2);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 2);
      close(null);
    }
  }
  ~QuietStandardError() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace quipular
