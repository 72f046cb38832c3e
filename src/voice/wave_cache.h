// Prompts kept in memory once read: decoded and ready to queue, looked up by
// path, read again only when the file on disk changed, the least recently
// used let go beyond a bound.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

#include "voice/wave_decode.h"

namespace quipular {

constexpr size_t kWaveCacheBytes = 32u << 20;  // the samples kept, at most

// What tells a file's contents have changed without reading it.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};  // written
  timespec changed{};   // written, renamed in place, or its attributes set
  bool operator==(const FileStamp& o) const;
};

struct WaveCache {
  struct Entry {
    FileStamp stamp;                           // the file as it was read
    std::shared_ptr<const Wave> wave;          // its samples
    std::list<std::string>::iterator recency;  // its place in `recent`
  };
  std::unordered_map<std::string, Entry> entries;      // by path as asked for
  std::list<std::string> recent;                       // paths, the last used first
  size_t bytes = 0;                                    // samples held, in bytes
  size_t limit = kWaveCacheBytes;                      // the bound on `bytes`
  size_t reads = 0;                                    // files read and decoded so far
  std::unordered_map<std::string, std::string> found;  // prompt path -> the file it named
};

extern WaveCache g_wave_cache;

// Lets every wave go (and the bound back to its default).
void ResetWaveCache();

// The decoded prompt at path, from memory when the file has not changed
// since it was read; null when the file is missing, not a regular file, or
// not a wave or FLAC file that can be played. A wave larger than the bound
// is decoded and handed over but not kept.
std::shared_ptr<const Wave> LoadWave(const std::string& path);

// The same for a prompt's path as the settings write it ("c:\\orbela\\..."),
// found without regard to case (ResolvePath); where it led is remembered
// and looked for again only once that file has gone.
std::shared_ptr<const Wave> LoadPrompt(const std::string& windows_path);

}  // namespace quipular
