// The window's text size in the user's settings, read at start and written
// whole at every change.
#include "console/text_size.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "console/profile.h"

namespace quipular {
namespace {

constexpr const char* kSection = "JANELA";
constexpr const char* kKey = "TAMANHO";

std::string ConfigHome() {
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/') return x;
  if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.config";
  return {};
}

bool MakeDirectory(const std::string& dir) {
  return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string TextSizeFile() {
  std::string config = ConfigHome();
  return config.empty() ? std::string() : config + "/quipular/janela.ini";
}

int ReadTextSize() {
  std::string path = TextSizeFile();
  if (path.empty()) return kFittingTextSize;
  std::string v = ReadProfileString(path, kSection, kKey, "");
  char* end = nullptr;
  errno = 0;
  long n = std::strtol(v.c_str(), &end, 10);
  if (v.empty() || errno != 0 || *end != '\0' || n < kSmallestTextSize || n > kLargestTextSize)
    return kFittingTextSize;
  return static_cast<int>(n);
}

bool SaveTextSize(int percent, std::string& error) {
  std::string path = TextSizeFile();
  if (path.empty()) {
    error = "neither XDG_CONFIG_HOME nor HOME is set";
    return false;
  }
  std::string dir = path.substr(0, path.rfind('/'));
  if (!MakeDirectory(dir.substr(0, dir.rfind('/'))) || !MakeDirectory(dir)) {
    error = dir + ": " + std::strerror(errno);
    return false;
  }
  std::string text =
      "; O tamanho do texto na janela da Quipular, em por cento do maior que cabe\n"
      "; na janela: Ctrl+Mais e Ctrl+Menos o mudam, Ctrl+0 volta a 100.\n"
      "[" +
      std::string(kSection) + "]\n" + kKey + "=" + std::to_string(percent) + "\n";
  std::string temporary = path + ".XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0) {
    error = dir + ": " + std::strerror(errno);
    return false;
  }
  bool ok = fchmod(fd, 0644) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
  int saved_errno = errno;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temporary.c_str(), path.c_str()) == 0) {
    if (int d = open(dir.c_str(), O_RDONLY | O_DIRECTORY); d >= 0) {
      fsync(d);
      close(d);
    }
    return true;
  }
  if (ok) saved_errno = errno;
  unlink(temporary.c_str());
  error = path + ": " + std::strerror(saved_errno);
  return false;
}

}  // namespace quipular
