// The prompt cache: one stat a lookup; a file read and decoded only when it
// is new or its stamp moved.
#include "voice/wave_cache.h"

#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "console/regular_file.h"
#include "voice/path_map.h"

namespace quipular {

WaveCache g_wave_cache;

namespace {

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

FileStamp StampOf(const struct stat& st) {
  return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// A file written within the clock's last tick may be written again with the
// same stamp (time stamps move in ticks of a few milliseconds): it is not
// trusted to be unchanged until a second or so has passed.
bool Settled(const FileStamp& stamp) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec - stamp.modified.tv_sec >= 2;
}

void Forget(const std::string& path) {
  auto it = g_wave_cache.entries.find(path);
  if (it == g_wave_cache.entries.end()) return;
  g_wave_cache.bytes -= it->second.wave->data.size();
  g_wave_cache.recent.erase(it->second.recency);
  g_wave_cache.entries.erase(it);
}

std::shared_ptr<const Wave> ReadWave(const std::string& path, FileStamp& stamp) {
  FILE* f = OpenRegularFile(path);
  if (!f) return nullptr;
  struct stat st;
  std::vector<uint8_t> bytes;
  if (fstat(fileno(f), &st) == 0) {
    stamp = StampOf(st);
    bytes.resize(static_cast<size_t>(st.st_size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  }
  std::fclose(f);
  ++g_wave_cache.reads;
  auto wave = std::make_shared<Wave>();
  if (!DecodeWave(bytes.data(), bytes.size(), *wave)) return nullptr;
  wave->data.shrink_to_fit();
  return wave;
}

}  // namespace

bool FileStamp::operator==(const FileStamp& o) const {
  return device == o.device && inode == o.inode && size == o.size &&
         SameTime(modified, o.modified) && SameTime(changed, o.changed);
}

void ResetWaveCache() {
  g_wave_cache = WaveCache{};
}

std::shared_ptr<const Wave> LoadWave(const std::string& path) {
  WaveCache& c = g_wave_cache;
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    Forget(path);
    return nullptr;
  }
  auto it = c.entries.find(path);
  if (it != c.entries.end() && it->second.stamp == StampOf(st) && Settled(it->second.stamp)) {
    c.recent.splice(c.recent.begin(), c.recent, it->second.recency);
    return it->second.wave;
  }
  Forget(path);
  FileStamp stamp;
  std::shared_ptr<const Wave> wave = ReadWave(path, stamp);
  if (!wave || wave->data.size() > c.limit) return wave;
  while (c.bytes + wave->data.size() > c.limit && !c.recent.empty()) Forget(c.recent.back());
  c.recent.push_front(path);
  c.entries[path] = WaveCache::Entry{stamp, wave, c.recent.begin()};
  c.bytes += wave->data.size();
  return wave;
}

std::shared_ptr<const Wave> LoadPrompt(const std::string& windows_path) {
  auto it = g_wave_cache.found.find(windows_path);
  if (it != g_wave_cache.found.end()) {
    if (std::shared_ptr<const Wave> wave = LoadWave(it->second)) return wave;
  }
  std::string path = ResolvePath(windows_path);
  g_wave_cache.found[windows_path] = path;
  return LoadWave(path);
}

}  // namespace quipular
