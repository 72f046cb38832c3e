// Binding the message catalogue: the locale directory is found like the
// installation's other files, so a build tree, an install under any prefix
// and a moved install all speak the user's language.
#include "console/translate.h"

#include <langinfo.h>
#include <sys/stat.h>

#include <clocale>
#include <cstring>

#include "console/install_paths.h"

namespace quipular {

std::string StartTranslation() {
  const char* messages = std::setlocale(LC_MESSAGES, "");
  // The system's own messages (strerror) need the character set too: taken
  // only for a language of its own (the C locale's messages are plain
  // ASCII, and C.UTF-8 is a locale the X library does not know, whose
  // window titles it would write in an encoding no other client reads) and
  // only when it is UTF-8, where the character classes of single bytes are
  // those of the C locale that the Windows-1252 screen relies on.
  bool language =
      messages && std::strncmp(messages, "C", 1) != 0 && std::strncmp(messages, "POSIX", 5) != 0;
  if (language && std::setlocale(LC_CTYPE, "") && std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
    std::setlocale(LC_CTYPE, "C");
  for (const std::string& dir : LocaleDirectories()) {
    struct stat st;
    if (stat((dir + "/pt_BR/LC_MESSAGES/" + kTextDomain + ".mo").c_str(), &st) != 0) continue;
    bindtextdomain(kTextDomain, dir.c_str());
    // The catalogue is UTF-8 and so are the program's other outputs,
    // whatever the character type of the locale.
    bind_textdomain_codeset(kTextDomain, "UTF-8");
    return dir;
  }
  return {};
}

}  // namespace quipular
