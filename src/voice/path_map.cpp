// Drive letters to the voice root, backslashes to slashes, case-blind
// components.
#include "voice/path_map.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <vector>

#include "console/install_paths.h"
#include "console/profile.h"
#include "quipular_build.h"

namespace quipular {

std::string VoiceRoot() {
  if (const char* root = std::getenv("VESTRA_ROOT"); root && *root) return root;
  // The installation does not move while the program runs.
  static const std::string installed = [] {
    for (const std::string& dir : VoiceRootDirectories())
      if (access(dir.c_str(), F_OK) == 0) return dir;
    return std::string(QUIPULAR_DATADIR "/vestra");
  }();
  return installed;
}

std::string ResolvePath(const std::string& windows_path) {
  const std::string& path = windows_path;
  std::string base;
  size_t from = 0;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    base = VoiceRoot();
    from = 2;
  } else if (!path.empty() && path[0] == '\\') {
    base = VoiceRoot();
  } else if (!path.empty() && path[0] == '/') {
    base.assign(1, '/');
  }
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = from; i <= path.size(); ++i) {
    char c = i < path.size() ? path[i] : '/';
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  // Most paths are written as they are on disk: one look settles them.
  std::string direct = base;
  for (const std::string& p : parts) {
    if (!direct.empty() && direct.back() != '/') direct.push_back('/');
    direct.append(p);
  }
  if (access(direct.c_str(), F_OK) == 0) return direct.empty() ? "." : direct;
  std::string result = base;
  bool exists = true;  // while every component so far was found
  for (const std::string& p : parts) {
    std::string found = exists ? FindFileNoCase(result, p) : std::string();
    if (found.empty()) {
      exists = false;
      if (!result.empty() && result.back() != '/') result.push_back('/');
      result.append(p);
    } else {
      result = found;
    }
  }
  return result.empty() ? "." : result;
}

}  // namespace quipular
