// The calculation log: creation, appends, the copy saved at exit.
#include "calculator/calculation_log.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "console/key_codes.h"
#include "console/program_exit.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "console/translate.h"
#include "voice/named_sounds.h"
#include "voice/number_words.h"

namespace quipular {

CalculationLog g_log;

namespace {

constexpr const char* kLogBase = "Calculos_Quipular";
constexpr int kLogNames = 99;  // Calculos_Quipular.txt, then -2 to -99

// The files this run writes at its end (--screen, --speech, --state), which
// a save must not write into.
std::vector<std::pair<dev_t, ino_t>> g_outputs;

// Tells the user, once for each time it happens, that the log can no longer
// be written.
void LogFailed() {
  if (g_log.warned) return;
  g_log.warned = true;
  ConsoleWriteMessage(Cp1252("ATENÇÃO: O REGISTRO DOS CÁLCULOS NÃO ESTÁ SENDO GRAVADO."));
  PlaySoundKey("DOSemRegistro");
}

// Writes every byte at offset; a short write (a full disk) is a failure.
bool WriteAt(int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    ssize_t n = pwrite(fd, bytes.data(), bytes.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
    offset += n;
  }
  return true;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Whether the open file is the one the path names now (not a link, not a
// file put in its place since).
bool SameFile(int fd, const std::string& path) {
  struct stat open_file, named;
  return fstat(fd, &open_file) == 0 && lstat(path.c_str(), &named) == 0 &&
         open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

// Takes the advisory lock. A file system without locks is taken as locked
// by nobody else: only a lock held by another process says "busy".
bool Lock(int fd) {
  return flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

enum class Claim { kOwned, kBusy, kRefused };

// Makes path this run's log, created new (never through a link) and locked.
// Busy when a running Quipular holds it, or it is not this user's to
// replace (another user's file or link, a file protected from writing);
// refused when the name cannot be a log here (a directory, a FIFO, a
// device, a folder that cannot be written).
Claim ClaimLog(const std::string& path, int& fd) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd >= 0) {
      if (Lock(fd) && SameFile(fd, path)) return Claim::kOwned;
      // Another start looked at it before the lock was taken: look again.
      close(fd);
      fd = -1;
      continue;
    }
    if (errno != EEXIST) return Claim::kRefused;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) continue;  // gone meanwhile
    bool mine = st.st_uid == geteuid();
    if (S_ISLNK(st.st_mode)) {
      if (!mine) return Claim::kBusy;
      unlink(path.c_str());  // only the link goes, never what it points to
      continue;
    }
    if (!S_ISREG(st.st_mode)) return Claim::kRefused;
    if (!mine || !(st.st_mode & S_IWUSR)) return Claim::kBusy;
    // This user's log of an earlier run, or of one still running.
    int old = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (old < 0) {
      if (errno == ENOENT) continue;
      return Claim::kBusy;
    }
    if (!SameFile(old, path)) {
      close(old);
      continue;
    }
    if (!Lock(old)) {
      close(old);
      return Claim::kBusy;
    }
    unlink(path.c_str());  // a finished run's log is replaced
    close(old);
  }
  return Claim::kRefused;
}

// Says, once, that this run keeps its log under another name.
void AnnounceOtherName(int number) {
  size_t slash = g_log.path.rfind('/');
  ConsoleWriteMessage(Cp1252("O REGISTRO DOS CÁLCULOS ESTÁ EM ") + g_log.path.substr(slash + 1));
  PlaySoundKey("DORegistroOutroNome");
  SpeakWords(NumberToWords(number), false);
}

// Claims the first log name from number `first` on that can be this run's
// (Calculos_Quipular.txt, -2, -3, ...) and says so when it is not the first
// name. False when none can.
bool ClaimLogName(int first) {
  std::string base = CompletePath(kLogBase);
  for (int number = first; number <= kLogNames; ++number) {
    g_log.path = base + (number == 1 ? "" : "-" + std::to_string(number)) + ".txt";
    int fd = -1;
    Claim claim = ClaimLog(g_log.path, fd);
    if (claim == Claim::kBusy) continue;
    if (claim == Claim::kRefused) {
      if (number == 1) break;  // not a file that can be a log: no log is kept
      continue;
    }
    g_log.fd = fd;
    if (number > 1) AnnounceOtherName(number);
    return true;
  }
  g_log.path = base + ".txt";
  return false;
}

// Brings the file up to the text in memory. A failed write leaves the file
// as it was before it (no torn line) and is retried at the next entry, by
// writing the whole text again.
void WriteThrough() {
  if (g_log.fd < 0) return;
  // A log removed while the program runs (by hand, by a cleaner) is made
  // again, whole, so that the disk keeps holding the session.
  struct stat st;
  if (fstat(g_log.fd, &st) == 0 && st.st_nlink == 0) {
    close(g_log.fd);
    g_log.fd = -1;
    // A file put in its place (an editor that saves by renaming) is the
    // user's: it is left alone and the log goes on under the next name.
    struct stat there;
    bool replaced = lstat(g_log.path.c_str(), &there) == 0;
    if (replaced ? !ClaimLogName(2) : ClaimLog(g_log.path, g_log.fd) != Claim::kOwned) {
      g_log.fd = -1;
      LogFailed();
      return;
    }
    g_log.failing = true;
  } else if (st.st_size < static_cast<off_t>(g_log.on_disk)) {
    // Cut short by hand: the next entry at the old end would leave a hole
    // of NUL bytes and a line without its start, so all of it goes again.
    g_log.failing = true;
  }
  bool whole = g_log.failing;
  size_t from = whole ? 0 : g_log.on_disk;
  std::string_view bytes = std::string_view(g_log.text).substr(from);
  if (WriteAt(g_log.fd, bytes, static_cast<off_t>(from)) &&
      (!whole || ftruncate(g_log.fd, static_cast<off_t>(g_log.text.size())) == 0)) {
    g_log.on_disk = g_log.text.size();
    g_log.failing = false;
    if (whole && g_log.warned) {
      g_log.warned = false;
      ConsoleWriteMessage(Cp1252("O REGISTRO DOS CÁLCULOS VOLTOU A SER GRAVADO."));
      PlaySoundKey("DORegistroVolta");
    }
    return;
  }
  (void)!ftruncate(g_log.fd, static_cast<off_t>(g_log.on_disk));
  g_log.failing = true;
  LogFailed();
}

bool ForbiddenInName(unsigned char c) {
  return c < 32 || c >= 127 || std::strchr("\\/:*?\"<>|", c) != nullptr;
}

// Whether path names one of the files this run writes at its end.
bool IsOutputFile(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  for (const auto& [dev, ino] : g_outputs)
    if (st.st_dev == dev && st.st_ino == ino) return true;
  return false;
}

// Whether a typed name would save into a log: this run's, or any
// Quipular's ("Calculos_Quipular", "Calculos_Quipular-2", ...).
bool IsLogName(const std::string& name) {
  size_t base = std::strlen(kLogBase);
  if (name.size() >= base && strncasecmp(name.c_str(), kLogBase, base) == 0) {
    std::string rest = name.substr(base);
    if (rest.empty()) return true;
    if (rest.size() > 1 && rest[0] == '-' &&
        rest.find_first_not_of("0123456789", 1) == std::string::npos)
      return true;
  }
  std::string path = CompletePath(name + ".txt");
  if (IsOutputFile(path)) return true;
  struct stat target, log;
  return g_log.fd >= 0 && stat(path.c_str(), &target) == 0 && fstat(g_log.fd, &log) == 0 &&
         target.st_dev == log.st_dev && target.st_ino == log.st_ino;
}

enum class Copy { kWritten, kFailed, kOtherUser };

// Takes the lock on a file being added to, waiting a little for another
// Quipular saving into it at the same time. A file system without locks is
// taken as unlocked.
bool LockForAppend(int fd) {
  for (int tries = 0; tries < 250; ++tries) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// Writes the copy to path: a new file, or added at the end of an existing
// regular file of this user's (another user's file is not written: that
// name is taken). Never through a link. A copy that cannot be written whole
// leaves nothing behind: a file it created is removed, an existing file is
// cut back to its content before, under a lock, so that another Quipular's
// copy saved meanwhile is kept.
Copy WriteCopy(const std::string& path, std::string_view copy) {
  int fd =
      open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd >= 0) {
    bool ok = WriteAll(fd, copy) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok) unlink(path.c_str());
    return ok ? Copy::kWritten : Copy::kFailed;
  }
  if (errno != EEXIST) return Copy::kFailed;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && st.st_uid != geteuid()) return Copy::kOtherUser;
  fd = open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Copy::kFailed;  // a link, a directory, a FIFO nobody reads, ...
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return Copy::kFailed;
  }
  if (st.st_uid != geteuid()) {
    close(fd);
    return Copy::kOtherUser;
  }
  if (!LockForAppend(fd) || fstat(fd, &st) != 0) {
    close(fd);
    return Copy::kFailed;
  }
  bool ok = WriteAll(fd, copy) && fsync(fd) == 0;
  if (!ok) (void)!ftruncate(fd, st.st_size);
  ok = close(fd) == 0 && ok;  // the lock goes with the descriptor
  return ok ? Copy::kWritten : Copy::kFailed;
}

}  // namespace

std::string CompletePath(const std::string& name) {
  if (name.find('\\') != std::string::npos || name.find('/') != std::string::npos) return name;
  char dir[4096];
  if (!getcwd(dir, sizeof dir)) return name;
  std::string path = dir;
  if (path.empty() || path.back() != '/') path += '/';
  return path + name;
}

void ReserveOutputFile(dev_t device, ino_t inode) {
  g_outputs.emplace_back(device, inode);
}

bool IsLogFile(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  if (name.size() < 4 || strcasecmp(name.c_str() + name.size() - 4, ".txt") != 0) return false;
  name.resize(name.size() - 4);
  size_t base = std::strlen(kLogBase);
  if (name.size() < base || strncasecmp(name.c_str(), kLogBase, base) != 0) return false;
  std::string rest = name.substr(base);
  if (!rest.empty() && (rest.size() < 2 || rest[0] != '-' ||
                        rest.find_first_not_of("0123456789", 1) != std::string::npos))
    return false;
  // Only in the folder where the log is kept.
  struct stat here, there;
  return stat(".", &here) == 0 && stat(dir.c_str(), &there) == 0 && here.st_dev == there.st_dev &&
         here.st_ino == there.st_ino;
}

void StartCalculationLog() {
  CloseCalculationLog();
  g_log.text = "CALCULOS FEITOS\r\n";
  g_log.on_disk = 0;
  g_log.failing = g_log.warned = false;
  if (ClaimLogName(1))
    WriteThrough();
  else
    LogFailed();
}

void AppendToLog(std::string_view text, bool end_line) {
  g_log.text += text;
  if (end_line) g_log.text += "\r\n";
  WriteThrough();
}

void LogCommand(const std::string& line) {
  AppendToLog(line, true);
}

std::optional<std::string> ReadFileName(std::string name) {
  for (;;) {
    unsigned char k = ReadKey();
    if (k == kEnter) {
      ConsoleWriteLine();
      return name;
    }
    if (k == kExtendedPrefix) {
      ReadKey();
      PlaySoundKey("DOTECLAINV");
    } else if (k == kBackspace) {
      if (name.empty()) {
        PlaySoundKey("DOnada");
        continue;
      }
      PlaySoundKey("DOBORRA");
      SpellCharacter(static_cast<unsigned char>(name.back()));
      name.pop_back();
      ConsoleWrite("\b", 1);
    } else if (k == kEsc) {
      Pause(300);
      PlaySoundKey("DORegresoCalc");
      return std::nullopt;
    } else if (ForbiddenInName(k)) {
      PlaySoundKey("DOTECLAINV");
    } else {
      name += static_cast<char>(k);
      ConsoleWrite(reinterpret_cast<const char*>(&k), 1);
      SpellCharacter(k);
      Pause(100);
    }
  }
}

bool SaveCalculationLog() {
  std::string name;
  for (;;) {
    SetBackgroundColour(1);
    SetTextColour(15);
    ConsoleWrite(Cp1252("QUAL É O NOME DO ARQUIVO? "));
    PlaySoundKey("DOINARCHIVO");
    Pause(300);
    SetBackgroundColour(0);
    SetTextColour(15);
    std::optional<std::string> typed = ReadFileName({});
    if (!typed) return false;
    name = *typed;
    if (!IsLogName(name)) break;
    // A log saved into itself would double, and the next start would
    // replace it: the name is refused and asked for again.
    PlaySoundKey("DOTECLAINV");
  }
  // The copy comes from the text in memory: it is whole even when the file
  // on disk was removed, replaced or cut short.
  std::string copy = g_log.text;
  if (copy.size() < 2 || copy.compare(copy.size() - 2, 2, "\r\n") != 0) copy += "\r\n";
  // A name whose file is another user's (in a shared folder) is taken: the
  // copy goes to "name-2.txt", "-3", ... and the user is told where.
  for (int number = 1; number <= kLogNames; ++number) {
    std::string file = name + (number == 1 ? "" : "-" + std::to_string(number)) + ".txt";
    if (number > 1 && IsLogName(file.substr(0, file.size() - 4))) continue;
    Copy written = WriteCopy(CompletePath(file), copy);
    if (written == Copy::kOtherUser) continue;
    if (written == Copy::kFailed) break;
    if (number > 1) {
      ConsoleWriteLine(Cp1252("O ARQUIVO FOI GRAVADO COMO ") + file);
      PlaySoundKey("DOarchOutroNome");
      SpeakWords(NumberToWords(number), false);
    }
    return true;
  }
  // Nothing may be reported as saved that was not: the error stays on the
  // screen until a key is pressed, then the calculator goes on.
  ConsoleWriteMessage(Cp1252("ERRO: O ARQUIVO NÃO PÔDE SER GRAVADO."));
  PlaySoundKey("DOarchErro");
  WaitForKey();
  return false;
}

void DeleteCalculationLog() {
  if (g_log.fd < 0) return;
  if (SameFile(g_log.fd, g_log.path)) {
    unlink(g_log.path.c_str());
    return;
  }
  // The folder was renamed or moved during the run: the log is found where
  // its descriptor says it is now.
  struct stat st;
  if (fstat(g_log.fd, &st) == 0 && st.st_nlink == 0) return;  // already gone
  char link[64], real[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", g_log.fd);
  ssize_t n = readlink(link, real, sizeof real - 1);
  if (n > 0) {
    real[n] = '\0';
    if (SameFile(g_log.fd, real) && unlink(real) == 0) return;
  }
  std::string message =
      Format(_("quipular: the calculation log %s was moved during the run and could not be "
               "removed\n"),
             g_log.path.c_str());
  // Standard error that is not the terminal is told at once.
  if (isatty(STDERR_FILENO))
    ExitMessage() += message;
  else
    std::fputs(message.c_str(), stderr);
}

void CloseCalculationLog() {
  if (g_log.fd >= 0) close(g_log.fd);
  g_log.fd = -1;
}

}  // namespace quipular
