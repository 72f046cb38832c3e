// Opening files that are read whole: only a regular file is opened, and the
// open never waits (a FIFO or a device in a file's place is refused).
#pragma once

#include <cstdio>
#include <string>

namespace quipular {

// The file opened for reading in binary, or null when it cannot be opened or
// is not a regular file (a FIFO, a device, a socket, a directory).
FILE* OpenRegularFile(const std::string& path);

}  // namespace quipular
