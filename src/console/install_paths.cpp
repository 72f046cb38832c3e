// The installation's directories, from /proc/self/exe and the paths the build
// compiled in.
#include "console/install_paths.h"

#include <unistd.h>

#include "quipular_build.h"

namespace quipular {
namespace {

// The parent of a directory written without a trailing slash ("/" for "/x").
std::string Parent(const std::string& dir) {
  size_t slash = dir.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : dir.substr(0, slash);
}

std::string Join(const std::string& dir, const std::string& name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

void Add(std::vector<std::string>& list, const std::string& dir) {
  for (const std::string& d : list)
    if (d == dir) return;
  list.push_back(dir);
}

// A directory name configured below the prefix; false for an absolute one,
// which only the compiled-in path covers.
bool BelowPrefix(const char* name) {
  return name[0] != '\0' && name[0] != '/';
}

}  // namespace

std::string ProgramDirectory() {
  static const std::string dir = [] {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return std::string();
    return Parent(std::string(exe, static_cast<size_t>(n)));
  }();
  return dir;
}

std::vector<std::string> ModuleDirectories() {
  std::vector<std::string> dirs;
  const std::string bin = ProgramDirectory();
  if (!bin.empty()) {
    Add(dirs, bin);
    const std::string prefix = Parent(bin);
    if (BelowPrefix(QUIPULAR_LIBDIR_NAME))
      Add(dirs, Join(prefix, QUIPULAR_LIBDIR_NAME "/quipular"));
    Add(dirs, Join(prefix, "lib/quipular"));
  }
  Add(dirs, QUIPULAR_MODULEDIR);
  return dirs;
}

std::vector<std::string> VoiceRootDirectories() {
  std::vector<std::string> dirs;
  const std::string bin = ProgramDirectory();
  if (!bin.empty() && BelowPrefix(QUIPULAR_DATADIR_NAME))
    Add(dirs, Join(Parent(bin), QUIPULAR_DATADIR_NAME "/vestra"));
  Add(dirs, QUIPULAR_DATADIR "/vestra");
  if (!bin.empty()) Add(dirs, Join(bin, "voice-pack"));
  return dirs;
}

std::vector<std::string> SettingsDirectories() {
  std::vector<std::string> dirs;
  const std::string bin = ProgramDirectory();
  if (!bin.empty()) {
    const std::string prefix = Parent(bin);
    Add(dirs, Join(prefix, "etc/vestra"));
    // A /usr install keeps its settings in /etc: so does a package's tree
    // unpacked anywhere.
    if (prefix.size() >= 4 && prefix.compare(prefix.size() - 4, 4, "/usr") == 0)
      Add(dirs, Join(Parent(prefix), "etc/vestra"));
  }
  Add(dirs, QUIPULAR_SYSCONFDIR "/vestra");
  if (!bin.empty()) Add(dirs, Join(bin, "voice-pack/windows"));
  return dirs;
}

std::vector<std::string> LocaleDirectories() {
  std::vector<std::string> dirs;
  const std::string bin = ProgramDirectory();
  if (!bin.empty()) {
    Add(dirs, Join(bin, "locale"));
    if (BelowPrefix(QUIPULAR_LOCALEDIR_NAME)) Add(dirs, Join(Parent(bin), QUIPULAR_LOCALEDIR_NAME));
  }
  Add(dirs, QUIPULAR_LOCALEDIR);
  return dirs;
}

}  // namespace quipular
