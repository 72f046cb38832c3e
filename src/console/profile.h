// The shared settings file "VESTRA.INI": where it is found on this system and
// how a value is read from it (sections and keys without regard to case).
#pragma once

#include <string>

namespace quipular {

// The directory that stands for the Windows directory: $VESTRA_WINDIR when
// set, else $XDG_CONFIG_HOME/vestra (~/.config/vestra) when it holds the
// settings file, else the first of SettingsDirectories() that holds one,
// else the configuration directory compiled in.
std::string WindowsDirectory();

// The entry of dir whose name matches name without regard to case, as a
// full path; empty when there is none.
std::string FindFileNoCase(const std::string& dir, const std::string& name);

// "VESTRA.INI" in dir, whatever its case, remembered until ForgetProfiles;
// empty when there is none.
std::string FindSettingsFile(const std::string& dir);

// The settings file in the Windows directory; empty when there is none.
std::string WindowsSettingsFile();

// The value of key in section of the file at path, trimmed and without the
// double or single quotes around it; def when the file, the section or the
// key is missing.
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& def);

// As the platform's profile reader with the bare name "VESTRA.INI": the file
// of the Windows directory.
std::string ReadProfile(const std::string& section, const std::string& key, const std::string& def);

// Forgets the files read so far (tests change them between reads).
void ForgetProfiles();

}  // namespace quipular
