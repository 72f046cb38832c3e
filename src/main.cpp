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
#include "console/bounded_call.h"
#include "console/braille_display.h"
#include "console/key_notation.h"
#include "console/program_exit.h"
#include "console/script_frontend.h"
#include "console/server_notices.h"
#include "console/terminal_frontend.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "console/transcript.h"
#include "console/window_frontend.h"
#include "functions/operand_stack.h"
#include "functions/state_dump.h"
#include "quipular_build.h"
#include "voice/audio_devices.h"
#include "voice/speech_engine.h"
#include "voice/voice_settings.h"

namespace {

constexpr const char* kUsage =
    "Usage: quipular [--window | --terminal | --headless] [options]\n"
    "  --keys TEXT        keys to type, in key notation (implies --headless\n"
    "                     unless a front-end is named)\n"
    "  --keys-file FILE   the same, read from a file\n"
    "  --screen FILE      at exit, the screen: 25 lines, UTF-8\n"
    "  --speech FILE      every prompt as it is asked for, one line each\n"
    "  --state FILE       at exit, the stack and registers, one \"name = value\" a line\n"
    "  --help, --version\n"
    "Key notation: printable characters stand for themselves; named keys in angle\n"
    "brackets: <Enter> <Esc> <BS> <Tab> <Space> <Up> <Down> <Left> <Right> <PgUp>\n"
    "<PgDn> <Home> <End> <Ins> <Del> <F1>..<F12> <lt>, with modifiers <Ctrl+X>\n"
    "<Shift+Ins> <Alt+A> <Ctrl+Enter> <Ctrl+Alt+F11>; keys inside { } are typed\n"
    "ahead together.\n"
    "Exit codes: 0 normal end, 255 Ctrl+Break or hang-up, 3 the keys ran out,\n"
    "1 the voice (or the terminal) could not start, 2 a bad command line,\n"
    "4 a --screen, --speech or --state file could not be written, 5 out of memory.\n";

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
    why = "it is a directory";
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
// written at the end with every write and the close checked.
struct Output {
  std::string path;
  FILE* file = nullptr;

  bool Open() {
    if (path.empty()) return true;
    // Opened for writing, the calculation log would be cut short now and
    // replaced by this run's new log, which the output would never reach.
    if (quipular::IsLogFile(path)) {
      std::fprintf(stderr, "quipular: cannot write %s: it is the calculation log\n", path.c_str());
      return false;
    }
    file = std::fopen(path.c_str(), "wb");
    if (!file) {
      std::fprintf(stderr, "quipular: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
      return false;
    }
    struct stat st;
    if (fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode))
      quipular::ReserveOutputFile(st.st_dev, st.st_ino);
    return true;
  }

  bool Finish(const std::string& text) {
    if (!file) return true;
    errno = 0;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    int error = errno;
    ok = std::fclose(file) == 0 && ok;
    if (error == 0) error = errno;
    if (!ok)
      std::fprintf(stderr, "quipular: cannot write %s: %s\n", path.c_str(),
                   error ? std::strerror(error) : "short write");
    file = nullptr;
    return ok;
  }
};

constexpr const char* kLicence =
    "Free software under the GNU General Public License, version 3 or later; no warranty.";

struct Options {
  enum Frontend { kAuto, kWindow, kTerminal, kHeadless } frontend = kAuto;
  bool has_keys = false;
  std::string keys;
  Output screen, speech, state;
};

// Parses the command line; returns -1 to go on, else an exit code.
int ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "quipular: %s needs a value\n", a.c_str());
        return false;
      }
      into = argv[++i];
      return true;
    };
    if (a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--version") {
      std::puts("QUIPULAR - v." QUIPULAR_VERSION);
      std::puts(kLicence);
      return 0;
    } else if (a == "--window") {
      o.frontend = Options::kWindow;
    } else if (a == "--terminal") {
      o.frontend = Options::kTerminal;
    } else if (a == "--headless") {
      o.frontend = Options::kHeadless;
    } else if (a == "--keys") {
      if (!value(o.keys)) return 2;
      o.has_keys = true;
    } else if (a == "--keys-file") {
      std::string path, why;
      if (!value(path)) return 2;
      if (!ReadKeysFile(path, o.keys, why)) {
        std::fprintf(stderr, "quipular: cannot read the keys file %s: %s\n", path.c_str(),
                     why.c_str());
        return 2;
      }
      o.has_keys = true;
    } else if (a == "--screen") {
      if (!value(o.screen.path)) return 2;
    } else if (a == "--speech") {
      if (!value(o.speech.path)) return 2;
    } else if (a == "--state") {
      if (!value(o.state.path)) return 2;
    } else {
      std::fprintf(stderr, "quipular: unknown option %s\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  return -1;
}

}  // namespace

// The sound system's device, or null with the user told once (on standard
// error now, on the screen at the first prompt) that there is none and how
// to choose another voice. Opened at once, in the voice pack's format, so
// that the line comes before a terminal is taken over.
std::unique_ptr<quipular::AudioDevice> OpenSoundDevice() {
  using namespace quipular;
  std::unique_ptr<AudioDevice> audio = LoadSdlAudioDevice();
  if (audio && audio->Open(AudioFormat{11025, 8, 1}) != kNoDriver) {
    audio->Close();
    return audio;
  }
  std::fputs(
      "quipular: nenhum dispositivo de som pôde ser aberto; para ouvir a voz do "
      "speech-dispatcher, use QUIPULAR_AUDIO=speechd; para seguir sem som, QUIPULAR_AUDIO=none\n",
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
  std::string in_settings = quipular::ReadSetting("QUIPULAR", "BRAILLE");
  return (setting && strcasecmp(setting, "on") == 0) || (host && *host) ||
         strcasecmp(in_settings.c_str(), "on") == 0 || strcasecmp(in_settings.c_str(), "sim") == 0;
}

int Run(int argc, char** argv) {
  using namespace quipular;
  Options options;
  if (int code = ParseOptions(argc, argv, options); code >= 0) return code;

  if (!options.screen.Open() || !options.speech.Open() || !options.state.Open())
    return kExitOutputFailed;

  KeyScript script;
  std::string error;
  if (!script.Load(options.keys, error)) {
    std::fprintf(stderr, "quipular: bad keys: %s\n", error.c_str());
    return 2;
  }
  std::string().swap(options.keys);  // the script holds its own copy
  if (options.frontend == Options::kAuto)
    options.frontend = options.has_keys ? Options::kHeadless
                       : std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")
                           ? Options::kWindow
                           : Options::kTerminal;
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
      std::fprintf(stderr, "quipular: no speech-dispatcher (%s); playing the recorded prompts\n",
                   error.c_str());
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
      std::fprintf(stderr, "quipular: %s; running in the terminal instead\n", error.c_str());
      options.frontend = Options::kTerminal;
    }
  }
  if (options.frontend == Options::kHeadless) {
    frontend = std::make_unique<ScriptFrontend>(std::move(script));
  } else if (options.frontend == Options::kTerminal) {
    auto terminal = std::make_unique<TerminalFrontend>(std::move(script));
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
    speech_lost = "quipular: speech-dispatcher did not answer at the end";
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
    else if (options.frontend == Options::kTerminal && isatty(STDOUT_FILENO))
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
    std::fputs("quipular: out of memory\n", stderr);
    return quipular::kExitOutOfMemory;
  }
}
