// The terminal front-end: raw mode and its restoration on every way out,
// key input through the decoder, and drawing by difference from a shadow
// copy of what the terminal shows, each frame written at once.
#include "console/terminal_frontend.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "console/program_exit.h"
#include "console/script_frontend.h"
#include "console/terminal_keys.h"
#include "console/text_encoding.h"

namespace quipular {
namespace {

// How long the bytes after an Esc may take to arrive and still be one key.
constexpr int kEscapeWaitMs = 40;

// Title saved on xterm's stack, alternate screen, no auto-wrap (the last
// column of the last row is written like any other), cursor shown.
constexpr char kEnterScreen[] = "\x1b[22;0t\x1b[?1049h\x1b[?7l\x1b[?25h\x1b[0m\x1b[H\x1b[2J";
// Leaving, the alternate screen is cleared first so that no terminal carries
// the calculator's coloured cells over into the shell's screen.
constexpr char kLeaveScreen[] = "\x1b[0m\x1b[H\x1b[2J\x1b[?7h\x1b[?25h\x1b[?1049l\x1b[23;0t";
// Back from a stop that left the screen as it was (SIGSTOP): the same
// screen modes without saving the title a second time.
constexpr char kReenterScreen[] = "\x1b[?1049h\x1b[?7l\x1b[?25h\x1b[0m\x1b[H\x1b[2J";

// What the signal handlers share with the program; only async-signal-safe
// calls touch it there.
struct termios g_saved_termios;         // the settings before raw mode
struct termios g_raw_termios;           // raw mode, set again after a stop
volatile sig_atomic_t g_active = 0;     // the front-end has the terminal
volatile sig_atomic_t g_raw = 0;        // raw mode is on and must be undone
volatile sig_atomic_t g_end_asked = 0;  // a hang-up, SIGTERM or SIGINT: end with 255
volatile sig_atomic_t g_resized = 0;    // SIGWINCH came: measure and redraw
int g_wake_pipe[2] = {-1, -1};          // the handlers wake poll() through it

constexpr int kEndSignals[] = {SIGHUP, SIGTERM, SIGINT};
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT};
struct SavedAction {
  int signal;
  struct sigaction action;
};
SavedAction g_previous[std::size(kEndSignals) + std::size(kCrashSignals) + 3];
size_t g_previous_count = 0;

void WriteAll(const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(STDOUT_FILENO, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {  // another program left the terminal non-blocking
      struct pollfd out = {STDOUT_FILENO, POLLOUT, 0};
      if (poll(&out, 1, 1000) > 0) continue;
    }
    if (n <= 0) return;  // the terminal has gone; nothing more can be shown
    data += n;
    size -= static_cast<size_t>(n);
  }
}

// Async-signal-safe: used by the crash handlers as well.
void RestoreTerminal(int when) {
  if (!g_raw) return;
  g_raw = 0;
  WriteAll(kLeaveScreen, sizeof kLeaveScreen - 1);
  tcsetattr(STDIN_FILENO, when, &g_saved_termios);
}

void Wake() {
  int saved = errno;
  char b = 0;
  ssize_t ignored = write(g_wake_pipe[1], &b, 1);  // a full pipe wakes poll() as well
  (void)ignored;
  errno = saved;
}

void OnEndSignal(int) {
  g_end_asked = 1;
  Wake();
}

void OnResize(int) {
  g_resized = 1;
  Wake();
}

void OnStop(int);
void OnContinue(int);
volatile sig_atomic_t g_continued = 0;  // counts the continues after a stop

// A stop (SIGTSTP, from kill or a shell; Ctrl+Z is a calculator key) gives
// the terminal back as it was, then stops the program for real.
void InstallStop() {
  struct sigaction a {};
  a.sa_handler = OnStop;
  sigemptyset(&a.sa_mask);
  a.sa_flags = SA_RESTART;
  sigaction(SIGTSTP, &a, nullptr);
}

void OnStop(int) {
  int saved = errno;
  RestoreTerminal(TCSANOW);
  struct sigaction stop {};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTSTP, &stop, nullptr);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  sig_atomic_t continued = g_continued;
  raise(SIGTSTP);
  // Continued: OnContinue has already taken the terminal back. With no
  // shell to continue it (an orphaned process group) the stop never came,
  // and the program takes the terminal back itself.
  InstallStop();
  if (continued == g_continued) OnContinue(SIGCONT);
  errno = saved;
}

// After any stop (SIGTSTP, or SIGSTOP, which cannot be caught, and a shell
// that put its own settings back) raw mode and the screen are set again and
// the whole screen is drawn anew.
void OnContinue(int) {
  if (!g_active) return;
  int saved = errno;
  g_continued = g_continued + 1;
  bool was_raw = g_raw;
  g_raw = 1;
  tcsetattr(STDIN_FILENO, TCSANOW, &g_raw_termios);
  if (was_raw)
    WriteAll(kReenterScreen, sizeof kReenterScreen - 1);
  else
    WriteAll(kEnterScreen, sizeof kEnterScreen - 1);
  g_resized = 1;  // measured again and drawn whole
  Wake();
  errno = saved;
}

// The request is taken once: the events pumped while the program winds down
// must not end it a second time.
void EndIfAsked() {
  if (!g_end_asked) return;
  g_end_asked = 0;
  ExitProgram(kExitBreak);
}

void ReinstallPrevious(int signal) {
  for (size_t i = 0; i < g_previous_count; ++i)
    if (g_previous[i].signal == signal) sigaction(signal, &g_previous[i].action, nullptr);
}

// A crash leaves the terminal usable, then takes its usual course: a fault
// raised by an instruction happens again under the previous handler when
// this one returns; a signal that was sent is sent again.
void OnCrash(int signal, siginfo_t* info, void*) {
  RestoreTerminal(TCSANOW);
  ReinstallPrevious(signal);
  if (info == nullptr || info->si_code <= 0 || signal == SIGABRT || signal == SIGQUIT)
    raise(signal);
}

void Install(int signal, void (*handler)(int)) {
  struct sigaction a {};
  a.sa_handler = handler;
  sigemptyset(&a.sa_mask);
  a.sa_flags = SA_RESTART;
  g_previous[g_previous_count].signal = signal;
  sigaction(signal, &a, &g_previous[g_previous_count++].action);
}

void InstallCrash(int signal) {
  struct sigaction a {};
  a.sa_sigaction = OnCrash;
  sigemptyset(&a.sa_mask);
  a.sa_flags = SA_SIGINFO | SA_RESETHAND;
  g_previous[g_previous_count].signal = signal;
  sigaction(signal, &a, &g_previous[g_previous_count++].action);
}

void InstallHandlers() {
  g_previous_count = 0;
  for (int s : kEndSignals) Install(s, OnEndSignal);
  Install(SIGWINCH, OnResize);
  Install(SIGCONT, OnContinue);
  g_previous[g_previous_count].signal = SIGTSTP;
  sigaction(SIGTSTP, nullptr, &g_previous[g_previous_count++].action);
  InstallStop();
  for (int s : kCrashSignals) InstallCrash(s);
}

void RemoveHandlers() {
  for (size_t i = 0; i < g_previous_count; ++i)
    sigaction(g_previous[i].signal, &g_previous[i].action, nullptr);
  g_previous_count = 0;
}

// The console's colours (0 blue ... 4 red, as on a PC) in ANSI order.
constexpr int kAnsi[8] = {0, 4, 2, 6, 1, 5, 3, 7};

// Background * 16 + foreground after the colour remap; a remapped value
// above 15 draws black.
unsigned char ShownColours(unsigned char attribute) {
  int fore = g_console.remap[attribute & 15];
  int back = g_console.remap[attribute >> 4];
  return static_cast<unsigned char>((back > 15 ? 0 : back) * 16 + (fore > 15 ? 0 : fore));
}

void AppendPen(std::string& out, unsigned char colours) {
  int fore = colours & 15, back = colours >> 4;
  out += "\x1b[0;";
  out += std::to_string(fore < 8 ? 30 + kAnsi[fore] : 90 + kAnsi[fore - 8]);
  out += ';';
  out += std::to_string(back < 8 ? 40 + kAnsi[back] : 100 + kAnsi[back - 8]);
  out += 'm';
}

// Bytes that Windows-1252 leaves as control codes are shown as blanks so
// that the terminal never takes them as commands.
void AppendGlyph(std::string& out, unsigned char c) {
  if (c < 32 || c == 127 || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
    out += ' ';
  else if (c < 128)
    out += static_cast<char>(c);
  else
    out += Utf8Char(c);
}

}  // namespace

TerminalFrontend::TerminalFrontend(KeyScript scripted) : scripted_(std::move(scripted)) {}

TerminalFrontend::~TerminalFrontend() {
  if (!started_) return;
  g_active = 0;
  RestoreTerminal(TCSAFLUSH);
  RemoveHandlers();
  close(g_wake_pipe[0]);
  close(g_wake_pipe[1]);
  g_wake_pipe[0] = g_wake_pipe[1] = -1;
}

bool TerminalFrontend::Start(std::string& error) {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
    error = "the terminal front-end needs standard input and output on a terminal";
    return false;
  }
  if (tcgetattr(STDIN_FILENO, &g_saved_termios) != 0 ||
      pipe2(g_wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    error = std::string("cannot set up the terminal: ") + std::strerror(errno);
    return false;
  }
  g_end_asked = 0;
  g_resized = 0;
  InstallHandlers();
  struct termios raw = g_saved_termios;
  raw.c_iflag &= ~(BRKINT | ICRNL | INLCR | IGNCR | INPCK | ISTRIP | IXON | IXOFF);
  raw.c_oflag &= ~OPOST;
  raw.c_cflag |= CS8;
  raw.c_lflag &= ~(ECHO | ICANON | IEXTEN | ISIG);
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  g_raw_termios = raw;
  g_raw = 1;
  g_active = 1;
  if (tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) != 0) {
    error = std::string("cannot put the terminal in raw mode: ") + std::strerror(errno);
    g_raw = 0;
    g_active = 0;
    RemoveHandlers();
    close(g_wake_pipe[0]);
    close(g_wake_pipe[1]);
    return false;
  }
  static bool at_exit_registered = false;
  if (!at_exit_registered)
    std::atexit([] {
      g_active = 0;
      RestoreTerminal(TCSAFLUSH);
    });
  at_exit_registered = true;
  WriteAll(kEnterScreen, sizeof kEnterScreen - 1);
  started_ = true;
  return true;
}

void TerminalFrontend::PumpEvents(int timeout_ms) {
  if (!started_) return;
  EndIfAsked();
  if (scripted_.HandOver([this](const ScriptKey& key) { held_letter_ = key.ctrl_letter; })) return;
  ReadInput(timeout_ms);
  EndIfAsked();
  if (g_resized) Present();
  DecodeInput();
}

// The terminal is read only while the key queue has room: a key that does
// not fit stays in input_, and the bytes after it in the terminal's own
// buffer, until the program has taken keys from the queue. A paste of any
// length loses nothing.
void TerminalFrontend::ReadInput(int timeout_ms) {
  int wait = std::max(timeout_ms, 0);
  if (!input_.empty() && !queue_full_) {
    uint64_t now = NowMs();
    wait = std::min(wait, input_deadline_ > now ? static_cast<int>(input_deadline_ - now) : 0);
  }
  if (queue_full_ && g_console.queued < kKeyQueueSize) {
    // The queue has room again: the waiting keys go first, and a sequence
    // cut at the end of input_ gets its wait for the rest anew.
    input_deadline_ = NowMs() + kEscapeWaitMs;
    DecodeInput();
    if (!queue_full_) wait = 0;
  }
  struct pollfd fds[2] = {{STDIN_FILENO, static_cast<short>(queue_full_ ? 0 : POLLIN), 0},
                          {g_wake_pipe[0], POLLIN, 0}};
  if (poll(fds, 2, wait) <= 0) return;
  if (fds[1].revents & POLLIN) {
    char drain[64];
    while (read(g_wake_pipe[0], drain, sizeof drain) > 0) {
    }
  }
  if (fds[0].revents & POLLIN) {
    // No more bytes than the queue has places, and a few for the rest of
    // an escape sequence begun in the last read.
    char buffer[256];
    size_t room = static_cast<size_t>(std::max(kKeyQueueSize - g_console.queued, 0));
    ssize_t n = read(STDIN_FILENO, buffer, std::clamp<size_t>(room, 8, sizeof buffer));
    if (n > 0) {
      input_.append(buffer, static_cast<size_t>(n));
      input_deadline_ = NowMs() + kEscapeWaitMs;
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      g_end_asked = 1;  // no more input: the terminal has hung up
    }
  } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
    g_end_asked = 1;
  }
}

void TerminalFrontend::DecodeInput() {
  bool complete = NowMs() >= input_deadline_;
  queue_full_ = false;
  while (!input_.empty()) {
    TerminalKey key = DecodeTerminalKey(input_, complete);
    if (key.kind == TerminalKey::kNeedMore) break;
    if (key.kind != TerminalKey::kBreak &&
        g_console.queued + static_cast<int>(key.codes.size()) > kKeyQueueSize) {
      queue_full_ = true;  // taken when the queue has room
      break;
    }
    input_.erase(0, static_cast<size_t>(key.used));
    held_letter_ = key.ctrl_letter;
    if (key.kind == TerminalKey::kBreak) ExitProgram(kExitBreak);
    if (key.codes.size() == 2 && key.codes[0] == '\0')
      QueueExtendedKey(static_cast<unsigned char>(key.codes[1]));
    else
      for (char c : key.codes) QueueKey(static_cast<unsigned char>(c));
  }
}

void TerminalFrontend::Present() {
  if (!started_) return;
  if (g_resized || !size_known_) {
    g_resized = 0;
    struct winsize ws {};
    bool measured = ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0;
    width_ = measured ? ws.ws_col : kColumns;  // a serial line may not know its size
    height_ = measured ? ws.ws_row : kRows;
    size_known_ = true;
    shown_valid_ = message_shown_ = false;
  }
  frame_.clear();
  if (width_ < kColumns || height_ < kRows) {
    if (!message_shown_) DrawSizeMessage();
  } else {
    DrawChangedCells();
    MoveTo(g_console.row, std::min(g_console.column, kColumns - 1));
  }
  if (!frame_.empty()) WriteAll(frame_.data(), frame_.size());
}

void TerminalFrontend::DrawChangedCells() {
  if (!shown_valid_) {
    frame_ += "\x1b[0m\x1b[2J";
    pen_ = -1;
  }
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      int cell = row * kColumns + column;
      unsigned char c = g_console.chars[cell];
      unsigned char colours = ShownColours(g_console.attrs[cell]);
      if (shown_valid_ && shown_chars_[cell] == c && shown_colours_[cell] == colours) continue;
      MoveTo(row, column);
      if (pen_ != colours) {
        AppendPen(frame_, colours);
        pen_ = colours;
      }
      AppendGlyph(frame_, c);
      shown_chars_[cell] = c;
      shown_colours_[cell] = colours;
      cursor_column_ = column + 1 < kColumns ? column + 1 : -1;
    }
  }
  shown_valid_ = true;
}

void TerminalFrontend::DrawSizeMessage() {
  std::string text = "Quipular precisa de um terminal de pelo menos " + std::to_string(kColumns) +
                     " x " + std::to_string(kRows) + "; este tem " + std::to_string(width_) +
                     " x " + std::to_string(height_) + ". Aumente a janela.";
  frame_ += "\x1b[0m\x1b[H\x1b[2J";
  int column = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = std::min(text.find(' ', start), text.size());
    int length = static_cast<int>(end - start);
    if (column > 0 && column + 1 + length > width_) {
      frame_ += "\r\n";
      column = 0;
    } else if (column > 0) {
      frame_ += ' ';
      ++column;
    }
    frame_.append(text, start, end - start);
    column += length;
    start = end + 1;
  }
  message_shown_ = true;
  shown_valid_ = false;
  cursor_row_ = cursor_column_ = pen_ = -1;
}

void TerminalFrontend::MoveTo(int row, int column) {
  if (row == cursor_row_ && column == cursor_column_) return;
  frame_ += "\x1b[" + std::to_string(row + 1) + ';' + std::to_string(column + 1) + 'H';
  cursor_row_ = row;
  cursor_column_ = column;
}

bool TerminalFrontend::CtrlLetterHeld(char letter) {
  return held_letter_ != 0 && held_letter_ == letter;
}

void TerminalFrontend::SetTitle(const std::string& title) {
  if (!started_) return;
  std::string text = Utf8(title);
  text.erase(std::remove_if(text.begin(), text.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 32; }),
             text.end());
  std::string out = "\x1b]0;" + text + "\x07";
  WriteAll(out.data(), out.size());
}

void TerminalFrontend::Beep() {
  if (started_) WriteAll("\a", 1);
}

// The terminal has no tone of its own; the transcript already records it.
void TerminalFrontend::StartTone(int) {}
void TerminalFrontend::StopTone() {}

}  // namespace quipular
