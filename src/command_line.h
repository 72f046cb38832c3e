// The command line's options and the text of --help, in one place that the
// option parser, --help and the manual page's test all read.
#pragma once

#include <span>

namespace quipular {

struct CommandLineOption {
  const char* name;   // "--keys"
  const char* value;  // the value's name in --help ("TEXT"); null: takes none
};

// Every option the program accepts.
std::span<const CommandLineOption> CommandLineOptions();

// The option of that name, or null.
const CommandLineOption* FindCommandLineOption(const char* name);

// --help's text in English (the catalogue's key): the options, the key
// notation and the exit codes.
const char* UsageText();

}  // namespace quipular
