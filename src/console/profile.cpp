// Reading "VESTRA.INI" with inih; each file is parsed once and kept.
#include "console/profile.h"

#include <dirent.h>
#include <ini.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

#include "console/console_state.h"
#include "console/install_paths.h"
#include "console/regular_file.h"
#include "quipular_build.h"

namespace quipular {
namespace {

using Values = std::map<std::string, std::string>;  // "section\nkey" in lower case

std::string InstalledSettingsDirectory() {
  std::optional<std::string>& installed = g_console_state.installed_settings;
  if (!installed) {
    for (const std::string& dir : SettingsDirectories())
      if (!FindFileNoCase(dir, "VESTRA.INI").empty()) return *(installed = dir);
    installed = QUIPULAR_SYSCONFDIR "/vestra";
  }
  return *installed;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

int Collect(void* user, const char* section, const char* name, const char* value) {
  auto* values = static_cast<Values*>(user);
  std::string v = value;
  // A value in quotes is read without them, as the files shared with other
  // programs are written for: DIRQUIPULAR="c:\orbela\som\quipular\".
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  values->emplace(Lower(section) + "\n" + Lower(name), std::move(v));  // the first one wins
  return 1;
}

const Values& Load(const std::string& path) {
  auto& cache = g_console_state.profiles;
  auto it = cache.find(path);
  if (it != cache.end()) return it->second;
  Values values;
  if (FILE* f = path.empty() ? nullptr : OpenRegularFile(path)) {
    ini_parse_file(f, Collect, &values);
    std::fclose(f);
  }
  return cache.emplace(path, std::move(values)).first->second;
}

}  // namespace

std::string FindFileNoCase(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = readdir(d)) {
    if (strcasecmp(e->d_name, name.c_str()) == 0) {
      found = dir.empty() ? e->d_name : dir + (dir.back() == '/' ? "" : "/") + e->d_name;
      break;
    }
  }
  closedir(d);
  return found;
}

std::string WindowsDirectory() {
  if (const char* w = std::getenv("VESTRA_WINDIR"); w && *w) return w;
  std::string config;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
    config = x;
  else if (const char* h = std::getenv("HOME"); h && *h)
    config = std::string(h) + "/.config";
  if (!config.empty() && !FindFileNoCase(config + "/vestra", "VESTRA.INI").empty())
    return config + "/vestra";
  return InstalledSettingsDirectory();
}

std::string FindSettingsFile(const std::string& dir) {
  auto& found = g_console_state.settings_files;
  auto it = found.find(dir);
  if (it == found.end()) it = found.emplace(dir, FindFileNoCase(dir, "VESTRA.INI")).first;
  return it->second;
}

std::string WindowsSettingsFile() {
  return FindSettingsFile(WindowsDirectory());
}

std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& def) {
  const Values& values = Load(path);
  auto it = values.find(Lower(section) + "\n" + Lower(key));
  return it == values.end() ? def : it->second;
}

std::string ReadProfile(const std::string& section, const std::string& key,
                        const std::string& def) {
  return ReadProfileString(WindowsSettingsFile(), section, key, def);
}

void ForgetProfiles() {
  g_console_state.profiles.clear();
  g_console_state.settings_files.clear();
  g_console_state.installed_settings.reset();
}

}  // namespace quipular
