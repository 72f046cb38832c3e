// Opening a regular file without ever blocking on a FIFO or a device.
#include "console/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quipular {

FILE* OpenRegularFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO with no writer would otherwise wait forever.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    close(fd);
    return nullptr;
  }
  FILE* f = fdopen(fd, "rb");
  if (!f) close(fd);
  return f;
}

}  // namespace quipular
