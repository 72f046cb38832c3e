// Runs scenario files against the real binary in its script front-end: each
// case types its keys in a fresh directory and checks excerpts of the
// screen, the speech transcript, the state dump, the log and the exit code.
//
// Scenario lines:
//   == NAME              starts a case
//   keys TEXT            keys in key notation (lines add up)
//   env NAME=VALUE       environment of the run
//   setup mkdir|symlink|write ...   prepares the directory before the run
//   exit N               expected exit code (3 when not given: the keys ran out)
//   screen TEXT / !screen TEXT      the screen holds (does not hold) TEXT
//   row N TEXT           screen row N (1-based) is exactly TEXT
//   speech A | B ...     these transcript lines follow one another
//   !speech LINE         no transcript line is LINE
//   state NAME = NUMBER  the state has NAME with this value (relative 1e-12)
//   !state NAME          the state has no NAME
//   log A | B ...        these log lines follow one another
//   nolog                no log file at the end
//   file NAME TEXT       file NAME holds TEXT (Windows-1252 read as UTF-8)
//   screenfile NAME      the whole screen is the stored screens/NAME beside
//                        the scenario file (QUIPULAR_UPDATE_SCREENS=1 stores it)
//
// Given a fourth argument, every case's speech transcript is kept in that
// file after a line "== NAME" (or "!! no transcript"), for the check that
// the voice pack has every prompt the scenarios ask for.
//
// Each case runs with the voice pack given as the third argument: its
// settings file is copied to the case's windows/ directory ($VESTRA_WINDIR)
// and $VESTRA_ROOT is the pack. Without a pack, a settings file is written
// that names an empty diphone database, so the voice starts with no
// recordings. A case may write its own windows/VESTRA.INI with "setup write".
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string g_screens;       // the directory of stored screens, ending in "/"
constexpr size_t kJobs = 2;  // cases run at once

struct Case {
  std::string name;
  int line = 0;
  std::string keys;
  int exit_code = 3;
  std::vector<std::string> env, setup, checks;
};

std::string Read(const std::string& path, bool* exists = nullptr) {
  std::ifstream in(path, std::ios::binary);
  if (exists) *exists = static_cast<bool>(in);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string Utf8FromCp1252(const std::string& in) {
  std::string out;
  for (unsigned char c : in) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  size_t pos = 0;
  for (;;) {
    size_t bar = text.find(" | ", pos);
    parts.push_back(text.substr(pos, bar == std::string::npos ? std::string::npos : bar - pos));
    if (bar == std::string::npos) break;
    pos = bar + 3;
  }
  return parts;
}

bool HasRun(const std::vector<std::string>& lines, const std::vector<std::string>& run) {
  for (size_t i = 0; i + run.size() <= lines.size(); ++i) {
    size_t k = 0;
    while (k < run.size() && lines[i + k] == run[k]) ++k;
    if (k == run.size()) return true;
  }
  return false;
}

std::vector<Case> Parse(const std::string& path) {
  std::vector<Case> cases;
  std::ifstream in(path);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("== ", 0) == 0) {
      cases.push_back(Case{line.substr(3), number, {}, 3, {}, {}, {}});
      continue;
    }
    if (cases.empty()) {
      std::cerr << path << ":" << number << ": a line before the first case\n";
      std::exit(2);
    }
    Case& c = cases.back();
    if (line.rfind("keys ", 0) == 0)
      c.keys += line.substr(5) + "\n";
    else if (line.rfind("env ", 0) == 0)
      c.env.push_back(line.substr(4));
    else if (line.rfind("setup ", 0) == 0)
      c.setup.push_back(line.substr(6));
    else if (line.rfind("exit ", 0) == 0)
      c.exit_code = std::atoi(line.c_str() + 5);
    else
      c.checks.push_back(line);
  }
  return cases;
}

// Starts the binary on a case in its directory; the child's pid.
pid_t Start(const std::string& binary, const std::string& dir, const std::string& pack,
            const Case& c) {
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(120);
    setenv("VESTRA_WINDIR", (dir + "/windows").c_str(), 1);
    setenv("HOME", dir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    if (!pack.empty()) setenv("VESTRA_ROOT", pack.c_str(), 1);
    for (const std::string& e : c.env) {
      size_t eq = e.find('=');
      setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
    int null = open("/dev/null", 0);
    dup2(null, 0);
    alarm(60);
    execl(binary.c_str(), binary.c_str(), "--headless", "--keys-file", "keys.txt", "--screen",
          "screen.txt", "--speech", "speech.txt", "--state", "state.txt", nullptr);
    _exit(121);
  }
  return pid;
}

// The exit code of a wait status; 1000 + the signal for a run killed by one.
int ExitCode(int status) {
  if (WIFSIGNALED(status)) return 1000 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

bool Prepare(const std::string& dir, const std::string& step) {
  std::istringstream in(step);
  std::string what, a, b;
  in >> what >> a;
  std::getline(in, b);
  if (!b.empty() && b[0] == ' ') b.erase(0, 1);
  if (what == "mkdir") return mkdir((dir + "/" + a).c_str(), 0755) == 0;
  if (what == "symlink") return symlink(a.c_str(), (dir + "/" + b).c_str()) == 0;
  if (what == "write") {
    size_t slash = a.rfind('/');
    if (slash != std::string::npos) {
      std::string sub = dir + "/" + a.substr(0, slash);
      mkdir(sub.c_str(), 0755);
    }
    std::string text;
    for (size_t i = 0; i < b.size(); ++i)  // "\n" in the text is a line end
      if (b[i] == '\\' && i + 1 < b.size() && b[i + 1] == 'n')
        text += '\n', ++i;
      else
        text += b[i];
    Write(dir + "/" + a, text);
    return true;
  }
  return false;
}

void RemoveTree(const std::string& path) {
  std::error_code error;
  std::filesystem::remove_all(path, error);
  if (error) std::cerr << "could not remove " << path << ": " << error.message() << "\n";
}

// Checks one expectation; returns an empty text or what went wrong.
std::string Check(const std::string& check, const std::string& dir, int code, int expected_code) {
  (void)expected_code;
  (void)code;
  std::string screen = Read(dir + "/screen.txt");
  auto screen_lines = Lines(screen);
  auto starts = [&](const char* word) { return check.rfind(word, 0) == 0; };
  if (starts("screen ") || starts("!screen ")) {
    bool negate = check[0] == '!';
    std::string text = check.substr(negate ? 8 : 7);
    bool found = screen.find(text) != std::string::npos;
    if (found == negate) return "screen:\n" + screen;
    return {};
  }
  if (starts("row ")) {
    int row = std::atoi(check.c_str() + 4);
    size_t space = check.find(' ', 4);
    std::string text = space == std::string::npos ? "" : check.substr(space + 1);
    std::string actual =
        row >= 1 && row <= static_cast<int>(screen_lines.size()) ? screen_lines[row - 1] : "";
    if (actual != text)
      return "row " + std::to_string(row) + " is [" + actual + "]\nscreen:\n" + screen;
    return {};
  }
  if (starts("speech ") || starts("!speech ")) {
    auto lines = Lines(Read(dir + "/speech.txt"));
    bool negate = check[0] == '!';
    std::vector<std::string> run = Split(check.substr(negate ? 8 : 7));
    if (HasRun(lines, run) == negate) {
      std::string all;
      for (auto& l : lines) all += "  " + l + "\n";
      return "speech:\n" + all;
    }
    return {};
  }
  if (starts("state ") || starts("!state ")) {
    std::string state = Read(dir + "/state.txt");
    bool negate = check[0] == '!';
    std::string rest = check.substr(negate ? 7 : 6);
    size_t eq = rest.find(" = ");
    std::string name = rest.substr(0, eq);
    for (auto& line : Lines(state)) {
      if (line.rfind(name + " = ", 0) != 0) continue;
      if (negate) return "state has " + line;
      std::string want = rest.substr(eq + 3), got = line.substr(name.size() + 3);
      char* end = nullptr;
      double w = std::strtod(want.c_str(), &end);
      bool numeric = *end == '\0';
      double g = std::strtod(got.c_str(), nullptr);
      // Relative to the larger of the two; an infinity or a NaN is equal
      // only to itself (relative to an infinity, every number would be).
      bool same =
          numeric ? (w == g || (std::isfinite(w) && std::isfinite(g) &&
                                std::fabs(w - g) <= 1e-12 * std::fmax(std::fabs(w), std::fabs(g))))
                  : want == got;
      if (!same) return "state: " + line + "\n" + state;
      return {};
    }
    return negate ? std::string() : "state has no " + name + ":\n" + state;
  }
  if (starts("log ")) {
    bool exists = false;
    auto lines = Lines(Utf8FromCp1252(Read(dir + "/Calculos_Quipular.txt", &exists)));
    if (!HasRun(lines, Split(check.substr(4)))) {
      std::string all;
      for (auto& l : lines) all += "  " + l + "\n";
      return exists ? "log:\n" + all : "no log file";
    }
    return {};
  }
  if (check == "nolog") {
    bool exists = false;
    Read(dir + "/Calculos_Quipular.txt", &exists);
    return exists ? "the log file is still there" : "";
  }
  if (starts("file ")) {
    std::string rest = check.substr(5);
    size_t space = rest.find(' ');
    bool exists = false;
    std::string text = Utf8FromCp1252(Read(dir + "/" + rest.substr(0, space), &exists));
    std::string want = space == std::string::npos ? "" : rest.substr(space + 1);
    if (!exists) return "no file " + rest.substr(0, space);
    if (text.find(want) == std::string::npos) return "file holds:\n" + text;
    return {};
  }
  if (starts("screenfile ")) {
    std::string stored = g_screens + check.substr(11);
    if (std::getenv("QUIPULAR_UPDATE_SCREENS")) Write(stored, screen);
    bool exists = false;
    auto want = Lines(Read(stored, &exists));
    if (!exists) return "no stored screen " + stored;
    for (size_t i = 0; i < std::max(want.size(), screen_lines.size()); ++i) {
      std::string w = i < want.size() ? want[i] : "",
                  g = i < screen_lines.size() ? screen_lines[i] : "";
      if (w != g)
        return "row " + std::to_string(i + 1) + " is [" + g + "], stored [" + w + "]\nscreen:\n" +
               screen;
    }
    return {};
  }
  return "unknown check";
}

// Gives the case its settings: the pack's, or a minimal voice of its own.
void Settings(const std::string& dir, const std::string& pack) {
  bool exists = false;
  std::string ini = pack.empty() ? "" : Read(pack + "/windows/VESTRA.INI", &exists);
  if (exists) {
    Write(dir + "/windows/VESTRA.INI", ini);
    return;
  }
  mkdir((dir + "/voice").c_str(), 0755);
  for (const char* name : {"t.IND", "t.DIF", "regras.rgr", "portug.exc"})
    Write(dir + "/voice/" + name, "");
  Write(dir + "/windows/VESTRA.INI", "[SINTETIZADOR]\nDIFONES3=t\n[TRADUTOR]\nDIRDIFONES=" + dir +
                                         "/voice\ndirLetras=" + dir + "/voice\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 5) {
    std::cerr << "usage: scenario_runner QUIPULAR FILE.scn [VOICE_PACK [TRANSCRIPTS]]\n";
    return 2;
  }
  std::string binary = argv[1], path = argv[2], pack = argc >= 4 ? argv[3] : "";
  std::string transcripts;            // every case's transcript, written at the end
  std::vector<std::string> speeches;  // each case's part of it
  char cwd[4096];
  std::string here = getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" : "";
  if (binary[0] != '/') binary = here + binary;
  if (!pack.empty() && pack[0] != '/') pack = here + pack;
  g_screens = path.substr(0, path.rfind('/') + 1) + "screens/";
  // Cases run two at a time, each a process in a directory of its own; what
  // they find is told in the order of the file.
  const std::vector<Case> cases = Parse(path);
  std::vector<std::string> dirs(cases.size()), problems(cases.size());
  speeches.resize(cases.size());
  std::map<pid_t, size_t> running;
  size_t next = 0;
  int passed = 0, failed = 0;
  while (next < cases.size() || !running.empty()) {
    if (next < cases.size() && running.size() < kJobs) {
      const Case& c = cases[next];
      char templ[] = "/tmp/quipular-scenario-XXXXXX";
      std::string dir = dirs[next] = mkdtemp(templ);
      mkdir((dir + "/windows").c_str(), 0755);
      Settings(dir, pack);
      Write(dir + "/keys.txt", c.keys);
      for (const std::string& step : c.setup)
        if (!Prepare(dir, step)) problems[next] += "  setup failed: " + step + "\n";
      running[Start(binary, dir, pack, c)] = next++;
      continue;
    }
    int status = 0;
    pid_t pid = waitpid(-1, &status, 0);
    auto found = running.find(pid);
    if (found == running.end()) continue;
    size_t i = found->second;
    running.erase(found);
    const Case& c = cases[i];
    const std::string& dir = dirs[i];
    int code = ExitCode(status);
    if (code != c.exit_code)
      problems[i] += "  exit code " + std::to_string(code) + ", expected " +
                     std::to_string(c.exit_code) + "\n";
    for (const std::string& check : c.checks) {
      std::string wrong = Check(check, dir, code, c.exit_code);
      if (!wrong.empty()) problems[i] += "  " + check + "\n    " + wrong + "\n";
    }
    if (argc == 5) {
      bool spoke = false;
      std::string speech = Read(dir + "/speech.txt", &spoke);
      speeches[i] = "== " + c.name + "\n" + (spoke ? speech : "!! no transcript\n");
      if (speeches[i].back() != '\n') speeches[i] += '\n';
    }
    RemoveTree(dir);
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    if (problems[i].empty()) {
      ++passed;
    } else {
      ++failed;
      std::cout << "FAIL " << path << ":" << cases[i].line << ": " << cases[i].name << "\n"
                << problems[i];
    }
    transcripts += speeches[i];
  }
  if (argc == 5) {
    std::ofstream out(argv[4], std::ios::binary);
    if (!(out << transcripts)) {
      std::cerr << "cannot write " << argv[4] << "\n";
      return 1;
    }
  }
  std::cout << passed << " passed, " << failed << " failed\n";
  return failed == 0 ? 0 : 1;
}
