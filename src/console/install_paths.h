// Where this installation keeps its parts: found from the program's own
// place first, so that an install under any prefix, a package unpacked
// anywhere and a build tree all find their module, voice pack and settings.
// <prefix> below is the parent of the program's directory.
#pragma once

#include <string>
#include <vector>

namespace quipular {

// The directory of the running program; empty when it cannot be known.
std::string ProgramDirectory();

// The directories that may hold the SDL module, in the order they are tried:
// beside the program (a build tree: the module must come from the same
// build), <prefix>/<libdir>/quipular, the library directory compiled in.
std::vector<std::string> ModuleDirectories();

// The directories that may be the voice root, in the order they are tried:
// <prefix>/share/vestra, the data directory compiled in, and <bin>/voice-pack
// in a build tree.
std::vector<std::string> VoiceRootDirectories();

// The directories that may hold the installation's VESTRA.INI, in the order
// they are tried: <prefix>/etc/vestra (/etc/vestra beside a prefix named
// usr), the configuration directory compiled in, <bin>/voice-pack/windows in
// a build tree.
std::vector<std::string> SettingsDirectories();

// The directories that may hold the message catalogues, in the order they
// are tried: <bin>/locale in a build tree (the catalogue of the same
// build), <prefix>/<datadir>/locale, the locale directory compiled in.
std::vector<std::string> LocaleDirectories();

}  // namespace quipular
