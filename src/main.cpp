// Quipular: options, the front-end, the calculator, and the one exit where
// the terminal is restored and the --screen, --speech and --state files are
// written.
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "app.h"
#include "calculator/calculation_log.h"
#include "calculator/model.h"
#include "command_line.h"
#include "console/bounded_call.h"
#include "console/braille_display.h"
#include "console/key_notation.h"
#include "console/lines_frontend.h"
#include "console/program_exit.h"
#include "console/script_frontend.h"
#include "console/server_notices.h"
#include "console/terminal_frontend.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "console/transcript.h"
#include "console/translate.h"
#include "console/window_frontend.h"
#include "functions/operand_stack.h"
#include "functions/state_dump.h"
#include "quipular_build.h"
#include "voice/audio_devices.h"
#include "voice/speech_engine.h"
#include "voice/voice_settings.h"

namespace {

using namespace quipular;

// The keys file: any file that can be read to its end (a pipe too), but not
// a directory.
bool ReadKeysFile(const std::string& path, std::string& text, std::string& why) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    why = std::strerror(errno);
    return false;
  }
  struct stat st;
  if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(f);
    why = _("it is a directory");
    return false;
  }
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  bool ok = !std::ferror(f);
  if (!ok) why = std::strerror(errno);
  std::fclose(f);
  return ok;
}

// A file named by --screen, --speech or --state: opened before the run, so
// that one that cannot be written is known before anything is typed, and
// written at the end with every write and the close checked. "-" is
// standard output, written where it stands: nothing is truncated, and what
// went to standard error before stays when both go to one file.
struct Output {
  std::string path;
  FILE* file = nullptr;

  bool Open() {
    if (path.empty()) return true;
    // Opened for writing, the calculation log would be cut short now and
    // replaced by this run's new log, which the output would never reach.
    if (path != "-" && IsLogFile(path)) {
      std::fputs(
          Format(_("quipular: cannot write %s: it is the calculation log\n"), path.c_str()).c_str(),
          stderr);
      return false;
    }
    file = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
    if (!file) {
      std::fputs(
          Format(_("quipular: cannot write %s: %s\n"), path.c_str(), std::strerror(errno)).c_str(),
          stderr);
      return false;
    }
    struct stat st;
    if (file != stdout && fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode))
      ReserveOutputFile(st.st_dev, st.st_ino);
    return true;
  }

  bool Finish(const std::string& text) {
    if (!file) return true;
    errno = 0;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    int error = errno;
    if (file != stdout) ok = std::fclose(file) == 0 && ok;
    if (error == 0) error = errno;
    if (!ok)
      std::fputs(Format(_("quipular: cannot write %s: %s\n"),
                        path == "-" ? _("standard output") : path.c_str(),
                        error ? std::strerror(error) : _("short write"))
                     .c_str(),
                 stderr);
    file = nullptr;
    return ok;
  }
};

constexpr const char* kLicence =
    N_("Free software under the GNU General Public License, version 3 or later; no warranty.\n");

struct Options {
  enum Frontend { kAuto, kWindow, kTerminal, kLines, kHeadless } frontend = kAuto;
  bool has_keys = false;
  std::string keys;
  Output screen, speech, state;
};

// Parses the command line; returns -1 to go on, else an exit code.
int ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    const CommandLineOption* option = FindCommandLineOption(argv[i]);
    if (!option) {
      std::fputs(Format(_("quipular: unknown option %s\n"), argv[i]).c_str(), stderr);
      std::fputs(_(UsageText()), stderr);
      return kExitBadCommandLine;
    }
    std::string value;
    if (option->value) {
      if (i + 1 >= argc) {
        std::fputs(Format(_("quipular: %s needs a value\n"), argv[i]).c_str(), stderr);
        return kExitBadCommandLine;
      }
      value = argv[++i];
    }
    if (a == "--help") {
      std::fputs(_(UsageText()), stdout);
      return kExitNormal;
    } else if (a == "--version") {
      std::puts("QUIPULAR - v." QUIPULAR_VERSION);
      std::fputs(_(kLicence), stdout);
      return kExitNormal;
    } else if (a == "--window") {
      o.frontend = Options::kWindow;
    } else if (a == "--terminal") {
      o.frontend = Options::kTerminal;
    } else if (a == "--lines") {
      o.frontend = Options::kLines;
    } else if (a == "--headless") {
      o.frontend = Options::kHeadless;
    } else if (a == "--keys") {
      o.keys = value;
      o.has_keys = true;
    } else if (a == "--keys-file") {
      std::string why;
      if (!ReadKeysFile(value, o.keys, why)) {
        std::fputs(
            Format(_("quipular: cannot read the keys file %s: %s\n"), value.c_str(), why.c_str())
                .c_str(),
            stderr);
        return kExitBadCommandLine;
      }
      o.has_keys = true;
    } else if (a == "--screen") {
      o.screen.path = value;
    } else if (a == "--speech") {
      o.speech.path = value;
    } else if (a == "--state") {
      o.state.path = value;
    }
  }
  return -1;
}

// With no front-end named: a script runs headless; else the settings'
// INTERFACE in [QUIPULAR] (JANELA, TERMINAL, LINHAS), else the window where
// a display is, else the terminal.
Options::Frontend DefaultFrontend(bool has_keys) {
  if (has_keys) return Options::kHeadless;
  std::string chosen = quipular::ReadSetting("QUIPULAR", "INTERFACE");
  if (strcasecmp(chosen.c_str(), "JANELA") == 0) return Options::kWindow;
  if (strcasecmp(chosen.c_str(), "TERMINAL") == 0) return Options::kTerminal;
  if (strcasecmp(chosen.c_str(), "LINHAS") == 0) return Options::kLines;
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") ? Options::kWindow
                                                                  : Options::kTerminal;
}

}  // namespace

// The sound system's device, or null with the user told once (on standard
// error now, on the screen at the first prompt) that there is none and how
// to choose another voice. Opened at once, in the voice pack's format, so
// that the line comes before a terminal is taken over.
std::unique_ptr<AudioDevice> OpenSoundDevice() {
  std::unique_ptr<AudioDevice> audio = LoadSdlAudioDevice();
  if (audio && audio->Open(AudioFormat{11025, 8, 1}) != kNoDriver) {
    audio->Close();
    return audio;
  }
  std::fputs(_("quipular: no sound device could be opened; for speech-dispatcher's voice use "
               "QUIPULAR_AUDIO=speechd; to go on without sound, QUIPULAR_AUDIO=none\n"),
             stderr);
  PostServerNotice(Cp1252("NENHUM DISPOSITIVO DE SOM PÔDE SER ABERTO."), "");
  PostServerNotice("VOZ DO SPEECH-DISPATCHER: QUIPULAR_AUDIO=speechd; SEM SOM: QUIPULAR_AUDIO=none",
                   "");
  return nullptr;
}

// Whether the user asked for a Braille display (then a missing one is worth
// a line on standard error).
bool BrailleAsked() {
  const char* setting = std::getenv("QUIPULAR_BRAILLE");
  const char* host = std::getenv("BRLAPI_HOST");
  std::string in_settings = ReadSetting("QUIPULAR", "BRAILLE");
  return (setting && strcasecmp(setting, "on") == 0) || (host && *host) ||
         strcasecmp(in_settings.c_str(), "on") == 0 || strcasecmp(in_settings.c_str(), "sim") == 0;
}

int Run(int argc, char** argv) {
  StartTranslation();
  Options options;
  if (int code = ParseOptions(argc, argv, options); code >= 0) return code;

  if (!options.screen.Open() || !options.speech.Open() || !options.state.Open())
    return kExitOutputFailed;

  KeyScript script;
  std::string error;
  if (!script.Load(options.keys, error)) {
    std::fputs(Format(_("quipular: bad keys: %s\n"), error.c_str()).c_str(), stderr);
    return kExitBadCommandLine;
  }
  std::string().swap(options.keys);  // the script holds its own copy
  if (options.frontend == Options::kAuto) options.frontend = DefaultFrontend(options.has_keys);
  // Scripts play on their own clock; people hear the sound system, unless
  // QUIPULAR_AUDIO names another device (sdl, record, none) or speechd, a
  // speech-dispatcher saying every prompt, which VOZ=SPEECHD in the
  // settings' [QUIPULAR] section asks for as well.
  std::string audio_name = options.frontend == Options::kHeadless ? "record" : "sdl";
  std::unique_ptr<SpeechEngine> speech_engine;
  const char* asked = std::getenv("QUIPULAR_AUDIO");
  if (asked && *asked ? std::strcmp(asked, "speechd") == 0
                      : strcasecmp(ReadSetting("QUIPULAR", "VOZ").c_str(), "speechd") == 0) {
    // The recordings stay at hand for a server that goes away.
    speech_engine = LoadSpeechDispatcher(error);
    if (!speech_engine && error == kSpeechNoAnswer)
      PostServerNotice(
          Cp1252("O SERVIDOR DE VOZ NÃO RESPONDE; A CALCULADORA SEGUE COM AS GRAVAÇÕES."),
          "DOVozMuda");
    if (!speech_engine)
      std::fputs(Format(_("quipular: no speech-dispatcher (%s); playing the recorded prompts\n"),
                        error.c_str())
                     .c_str(),
                 stderr);
  } else if (asked && *asked) {
    audio_name = asked;
  }

  // The Braille display is taken before a terminal is put in raw mode, so
  // that the line saying there is none stays off the program's screen.
  std::string braille_message;
  OpenBrailleDisplay(BrailleAsked(), braille_message);
  if (!braille_message.empty()) std::fprintf(stderr, "%s\n", braille_message.c_str());

  std::unique_ptr<AudioDevice> audio;
  if (audio_name == "sdl")
    audio = OpenSoundDevice();
  else if (audio_name == "record")
    audio = std::make_unique<RecordingAudioDevice>();
  if (!audio) audio = std::make_unique<NullAudioDevice>();
  std::unique_ptr<Frontend> frontend;
  if (options.frontend == Options::kWindow) {
    // The window's tones are heard only where the prompts are.
    frontend = OpenWindowFrontend(script, audio_name == "sdl", error);
    if (!frontend) {
      std::fputs(
          Format(_("quipular: %s; running in the terminal instead\n"), error.c_str()).c_str(),
          stderr);
      options.frontend = Options::kTerminal;
    }
  }
  if (options.frontend == Options::kHeadless) {
    frontend = std::make_unique<ScriptFrontend>(std::move(script));
  } else if (options.frontend == Options::kTerminal || options.frontend == Options::kLines) {
    std::unique_ptr<TerminalFrontend> terminal;
    if (options.frontend == Options::kLines)
      terminal = std::make_unique<LinesFrontend>(std::move(script));
    else
      terminal = std::make_unique<TerminalFrontend>(std::move(script));
    if (!terminal->Start(error)) {
      std::fprintf(stderr, "quipular: %s\n", error.c_str());
      return 1;
    }
    frontend = std::move(terminal);
  }
  g_transcript.enabled = !options.speech.path.empty();
  SetSpeechEngine(speech_engine.get());
  int code = RunQuipular(*frontend, *audio);
  std::string speech_lost = SpeechEngineLost();
  SetSpeechEngine(nullptr);
  if (speech_engine && !speech_engine->Close() && speech_lost.empty())
    speech_lost = _("quipular: speech-dispatcher did not answer at the end");
  speech_engine.reset();
  CloseBrailleDisplay();
  audio.reset();
  frontend.reset();  // restores the terminal
  if (!g_braille_display.lost.empty()) std::fprintf(stderr, "%s\n", g_braille_display.lost.c_str());
  if (!speech_lost.empty()) std::fprintf(stderr, "%s\n", speech_lost.c_str());
  // Left on the terminal after the end; standard error that is not the
  // terminal was told at once.
  if (const std::string& message = ExitMessage(); !message.empty()) {
    if (isatty(STDERR_FILENO))
      std::fputs(message.c_str(), stderr);
    else if ((options.frontend == Options::kTerminal || options.frontend == Options::kLines) &&
             isatty(STDOUT_FILENO))
      std::fputs(message.c_str(), stdout);
  }
  std::string speech;
  for (const std::string& line : g_transcript.lines) speech += line + "\n";
  bool written = options.screen.Finish(ScreenText());
  written = options.speech.Finish(speech) && written;
  written = options.state.Finish(StateDump(g_stack, g_registers)) && written;
  return written ? code : kExitOutputFailed;
}

int main(int argc, char** argv) {
  // A file-size limit makes a write fail with EFBIG instead of killing the
  // program, and a pipe whose reader went makes it fail with EPIPE: both
  // then take the paths of a full disk and of an output that cannot be
  // written, and nothing is left torn.
  signal(SIGXFSZ, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs(quipular::_("quipular: out of memory\n"), stderr);
    return quipular::kExitOutOfMemory;
  }
}
