// Messages for standard error and --help in the user's language: written in
// English in the sources, shown in Brazilian Portuguese from the catalogue
// compiled from po/pt_BR.po when the locale asks for it.
#pragma once

#include <libintl.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace quipular {

// The catalogue's name: quipular.mo under <dir>/<language>/LC_MESSAGES.
constexpr const char* kTextDomain = "quipular";

// Takes the message language from the environment (LC_ALL, LC_MESSAGES,
// LANG, LANGUAGE) and binds the catalogue found with the installation's
// other files. Only the messages' category is set: numbers keep the C
// locale's decimal point. Returns the directory bound, empty when none.
std::string StartTranslation();

// The message in the user's language, or the English text. Inline, so that
// the loadable modules translate through the program's binding too.
[[gnu::format_arg(1)]] inline const char* _(const char* english) {
  return dgettext(kTextDomain, english);
}

// Marks a text for the catalogue where it is written; _() translates it
// where it is shown.
constexpr const char* N_(const char* english) {
  return english;
}

// A message with parts, printf-style; the format comes from _().
[[gnu::format(printf, 1, 2)]] inline std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

}  // namespace quipular
