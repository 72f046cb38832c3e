// The calculation log: creation, appends, the copy saved at exit.
#include "calculator/calculation_log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "calculator/commands.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "voice/named_sounds.h"

namespace quipular {

CalculationLog g_log;

namespace {

constexpr const char* kLogName = "Calculos_Quipular.txt";

// Tells the user, once, that the log can no longer be written.
void LogFailed() {
  if (!g_log.kept) return;
  g_log.kept = false;
  ConsoleWriteLine(Cp1252("ATENÇÃO: O REGISTRO DOS CÁLCULOS NÃO ESTÁ SENDO GRAVADO."));
  PlaySoundKey("DOSemRegistro");
}

bool WriteFile(const std::string& path, const char* mode, std::string_view bytes) {
  FILE* f = std::fopen(path.c_str(), mode);
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

// Reads a regular file only: a device in the log's place (a link to
// /dev/full or /dev/zero) would never end.
bool ReadWhole(const std::string& path, std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  struct stat info;
  if (fstat(fileno(f), &info) != 0 || !S_ISREG(info.st_mode)) {
    std::fclose(f);
    return false;
  }
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool ForbiddenInName(unsigned char c) {
  return c <= 30 || c >= 127 || std::strchr("\\/:*?\"<>|", c) != nullptr;
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

void StartCalculationLog() {
  g_log.path = CompletePath(kLogName);
  g_log.kept = true;
  if (!WriteFile(g_log.path, "wb", "CALCULOS FEITOS\r\n")) LogFailed();
}

void AppendToLog(std::string_view text, bool end_line) {
  if (!g_log.kept) return;
  std::string bytes(text);
  if (end_line) bytes += "\r\n";
  if (!WriteFile(g_log.path, "ab", bytes)) LogFailed();
}

void LogCommand(const std::string& token) {
  const Command* row = FindKey(token);
  AppendToLog(row ? Cp1252(row->log_name) : token, true);
}

std::string ReadFileName(std::string name) {
  for (;;) {
    unsigned char k = ReadKey();
    if (k == kEnter) {
      ConsoleWriteLine();
      return name;
    }
    if (k == 0) {
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
      g_log.save_abandoned = true;
      return {};
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
  SetBackgroundColour(1);
  SetTextColour(15);
  ConsoleWrite(Cp1252("QUAL É O NOME DO ARQUIVO? "));
  PlaySoundKey("DOINARCHIVO");
  Pause(300);
  SetBackgroundColour(0);
  SetTextColour(15);
  std::string name = ReadFileName({});
  if (g_log.save_abandoned) return false;
  std::string log;
  bool ok = ReadWhole(g_log.path, log);
  std::string copy;
  size_t pos = 0;
  while (ok && pos < log.size()) {
    size_t end = log.find("\r\n", pos);
    if (end == std::string::npos) end = log.size();
    copy.append(log, pos, end - pos).append("\r\n");
    pos = end + 2;
  }
  if (ok) ok = WriteFile(CompletePath(name + ".txt"), "ab", copy);
  if (!ok) {
    // Nothing may be reported as saved that was not: stay in the calculator.
    ConsoleWriteLine(Cp1252("ERRO: O ARQUIVO NÃO PÔDE SER GRAVADO."));
    PlaySoundKey("DOarchErro");
    g_log.save_abandoned = true;
  }
  return ok;
}

// unlink, not remove: a directory standing where the log should be is not
// the log, and is left alone.
void DeleteCalculationLog() {
  if (!g_log.path.empty()) unlink(g_log.path.c_str());
}

}  // namespace quipular
