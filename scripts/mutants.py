"""The planted faults that scripts/mutate tries, one at a time: the file, the
text it changes (found exactly once in that file), the text put in its
place, and why a user would meet the fault. Each is a fault a careful
developer could make; the suite must catch every one. A row whose text is
no longer in its file is reported as stale: mend it to the code as it is
now, or drop it when the code it tested is gone."""
from collections import namedtuple

Mutant = namedtuple("Mutant", "name file old new why")

MUTANTS = [
    # console/: files, settings, keys, terminal.
    Mutant("settings-order", "src/console/install_paths.cpp",
           "std::vector<std::string> SettingsDirectories() {\n"
           "  std::vector<std::string> dirs;\n",
           "std::vector<std::string> SettingsDirectories() {\n"
           "  std::vector<std::string> dirs;\n"
           "  Add(dirs, QUIPULAR_SYSCONFDIR \"/vestra\");\n",
           "the compiled-in settings folder searched first: an old install's settings "
           "there stop an install elsewhere"),
    Mutant("settings-last-wins", "src/console/profile.cpp",
           "values->emplace(Lower(section)",
           "values->insert_or_assign(Lower(section)",
           "a repeated section in a hand-merged settings file takes its last value"),
    Mutant("open-blocks-on-fifo", "src/console/regular_file.cpp",
           "O_RDONLY | O_NONBLOCK | O_CLOEXEC",
           "O_RDONLY | O_CLOEXEC",
           "a FIFO in a settings file's or a wave's place hangs the start"),
    Mutant("paste-overflows-queue", "src/console/terminal_frontend.cpp",
           "g_console.queued + static_cast<int>(key.codes.size()) > kKeyQueueSize",
           "g_console.queued > kKeyQueueSize",
           "a long paste loses the keys that arrive while the key queue is full"),
    Mutant("home-read-as-end", "src/console/terminal_keys.cpp",
           "{'D', kKeyLeft}, {'H', kKeyHome},",
           "{'D', kKeyLeft}, {'H', kKeyEnd},",
           "the terminal's Home key acts as End"),
    Mutant("braille-left-as-right", "src/console/braille_display.cpp",
           "{BRLAPI_KEY_SYM_LEFT, kKeyLeft}",
           "{BRLAPI_KEY_SYM_LEFT, kKeyRight}",
           "the Braille display's Left key moves right: the stack cannot be read from it"),
    Mutant("braille-line-down-short", "src/console/braille_display.cpp",
           "    if (HoldsText(r)) return r;",
           "    if (HoldsText(r) && !(kind == BrailleInput::kLineDown && r == kRows)) return r;",
           "the display's line down never reaches the last row, where the prompt is"),
    Mutant("braille-dot3-as-dot2", "src/console/braille_keyboard.cpp",
           "    case 's':\n      return 4;",
           "    case 's':\n      return 2;",
           "on the Braille keyboard S types dot 2 instead of dot 3"),
    Mutant("lt-typed-as-gt", "src/console/key_notation.cpp",
           "{\"lt\", '<', false}",
           "{\"lt\", '>', false}",
           "a key script's <lt> types the wrong character"),

    # voice/: words, settings, prompts, speech-dispatcher.
    Mutant("cem-said-cento", "src/voice/number_words.cpp",
           "if (h == 1 && t == 0 && u == 0) return \"cem\";",
           "if (h == 1 && t == 0 && u == 0) return \"cento\";",
           "100 is said \"cento\""),
    Mutant("voice-speed-six", "src/voice/voice_settings.cpp",
           "if (speed < 1 || speed > 5) speed = 3;",
           "if (speed < 1 || speed > 6) speed = 3;",
           "VELOCIDADE=6 names a voice database that does not exist"),
    Mutant("speechd-rate-scale", "src/voice/speech_engine.cpp",
           "(std::clamp(speed, 1, 5) - 3) * 25",
           "(std::clamp(speed, 1, 5) - 3) * 20",
           "the voice speed maps onto the wrong speech-dispatcher rate"),
    Mutant("cut-marks-line-before", "src/voice/named_sounds.cpp",
           "if (cut) MarkSpeechCut(g_voice_state.prompt_line);",
           "if (cut) MarkSpeechCut(g_voice_state.prompt_line - 1);",
           "the prompt before the one a key cut is marked cut instead"),

    # functions/: computations.
    Mutant("days-30-360", "src/functions/dates.cpp",
           "to.day == 31 && (from.day == 30 || from.day == 31)",
           "to.day == 31 && from.day == 31",
           "30/360 day count wrong from the 30th to a 31st"),
    Mutant("last-day-of-leap-year", "src/functions/dates.cpp",
           "long long years = rest / 365 < 3 ? rest / 365 : 3;",
           "long long years = rest / 365;",
           "a date that falls on 31 December of a leap year comes out as 1 January"),
    Mutant("soyd-year", "src/functions/depreciation.cpp",
           "return Year{depreciable * (life - x + 1) / digits,",
           "return Year{depreciable * (life - x) / digits,",
           "sum-of-the-years'-digits depreciation one year off"),
    Mutant("odd-period-simple", "src/functions/tvm.cpp",
           "k.c = 1 + i * p.frac;",
           "k.c = 1 + i;",
           "simple interest on an odd period charges a whole period"),
    Mutant("npv-last-flow", "src/functions/cash_flows.cpp",
           "for (int k = 0; k <= last; ++k) {",
           "for (int k = 0; k < last; ++k) {",
           "NPV leaves out the last cash flow"),
    Mutant("sample-deviation", "src/functions/statistics.cpp",
           "Real pairs = s.n * (s.n - 1);",
           "Real pairs = s.n * s.n;",
           "the standard deviation of the population instead of the sample"),
    Mutant("percent-change-base", "src/functions/arithmetic.cpp",
           "return static_cast<double>((lx - ly) / ly * 100);",
           "return static_cast<double>((lx - ly) / lx * 100);",
           "percent change taken on the new value"),

    # calculator/: the log, the command table, results on screen and aloud.
    Mutant("copy-not-synced", "src/calculator/calculation_log.cpp",
           "    bool ok = WriteAll(fd, copy) && fsync(fd) == 0;\n"
           "    ok = close(fd) == 0 && ok;\n",
           "    bool ok = WriteAll(fd, copy);\n"
           "    ok = close(fd) == 0 && ok;\n",
           "a copy saved to a stick pulled out is reported saved"),
    Mutant("own-log-name-taken", "src/calculator/calculation_log.cpp",
           "    if (rest.empty()) return true;",
           "    if (rest.empty()) return false;",
           "saving under the log's own name copies the log into itself"),
    Mutant("minus-says-plus", "src/calculator/commands.cpp",
           "{'-', \"-\", \"DOmenos1\",",
           "{'-', \"-\", \"DOmas\",",
           "the minus key is echoed as plus"),
    Mutant("equals-not-said", "src/calculator/spoken_results.cpp",
           "  int decimals = g_registers.decimals;\n  PlaySoundKey(\"DOIGUAL\");\n",
           "  int decimals = g_registers.decimals;\n",
           "a result is said without \"equals\" before it"),
    Mutant("exponent-mantissa-cut", "src/calculator/stack_display.cpp",
           "WriteWithExponent(mantissa.substr(0, 5), exponent);",
           "WriteWithExponent(mantissa.substr(0, 4), exponent);",
           "a large number shows one digit less before its E"),
    Mutant("overflow-unbounded", "src/calculator/command_actions.cpp",
           "PushValue(g_stack, BoundInfinity(v));",
           "PushValue(g_stack, v);",
           "an overflow pushes an infinity instead of the largest number"),

    # guidance/: menu and key test.
    Mutant("menu-down-short", "src/guidance/menu.cpp",
           "if (selected + kWindow - 1 < Bound()) {",
           "if (selected + kWindow < Bound()) {",
           "Down in the menu stops one item before the last"),
    Mutant("key-test-page", "src/guidance/key_test.cpp",
           "constexpr int kPageRows = 13;",
           "constexpr int kPageRows = 12;",
           "the key test's page turns a row early"),

    # main: the command line.
    Mutant("keys-file-exit-code", "src/main.cpp",
           "why.c_str())\n                .c_str(),\n            stderr);\n        return kExitBadCommandLine;",
           "why.c_str())\n                .c_str(),\n            stderr);\n        return 1;",
           "an unreadable keys file ends as a voice failure would"),
]
