// Preloaded into the program by the reliability test: every fsync and
// fdatasync fails with EIO, as when a USB stick is pulled out or a network
// folder drops before the data reaches it.
#include <cerrno>

extern "C" int fsync(int) {
  errno = EIO;
  return -1;
}

extern "C" int fdatasync(int) {
  errno = EIO;
  return -1;
}
