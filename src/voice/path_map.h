// Windows-style paths of the settings and sound keys on this system: a drive
// letter (or a leading backslash) stands for the voice root ($VESTRA_ROOT,
// else the first of VoiceRootDirectories() that exists), backslashes are
// separators, and
// each component is found without regard to case.
#pragma once

#include <string>

namespace quipular {

// The root that drive letters stand for.
std::string VoiceRoot();

// The Linux path of a Windows-style path; components that exist are given
// their real case, the rest are kept as written.
std::string ResolvePath(const std::string& windows_path);

}  // namespace quipular
