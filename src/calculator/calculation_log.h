// The calculation log "Calculos_Quipular.txt": every entry and the stack
// after it, CR LF lines in Windows-1252. The session's text is kept in
// memory and written through to the file at every entry, so that the file
// on disk is always a complete prefix of it. Each running Quipular owns its
// log (an advisory lock): one that finds the log held by another keeps its
// own beside it, "Calculos_Quipular-2.txt", "-3", ...
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace quipular {

struct CalculationLog {
  std::string path;      // full path of this run's log
  std::string text;      // the whole session's log
  int fd = -1;           // the log this run created, locked while it runs
  size_t on_disk = 0;    // bytes of text known to be in the file
  bool failing = false;  // the last write failed: retried at the next entry
  bool warned = false;   // the user has been told the log is not being kept
};

extern CalculationLog g_log;

void StartCalculationLog();
// Appends text, with a line end when asked for.
void AppendToLog(std::string_view text, bool end_line);
// Writes one line (Windows-1252): a command's log name, an operand, a key.
void LogCommand(const std::string& line);
// Asks for a name and copies the session's log into it (".txt" added).
// False when the copy was abandoned or failed; the user has then been told.
bool SaveCalculationLog();
// The small line editor of the file name; nothing when left with Esc.
std::optional<std::string> ReadFileName(std::string name);
// A bare name is placed in the current directory.
std::string CompletePath(const std::string& name);
// Removes the log, if this run created it and it is still there.
void DeleteCalculationLog();
// Lets go of the log (and its lock) at the end of a run.
void CloseCalculationLog();
// Whether path would be a calculation log ("Calculos_Quipular.txt", "-2",
// ..., in the current folder): no other output may be written there.
bool IsLogFile(const std::string& path);
// A file the run writes at its end: a save into it is refused.
void ReserveOutputFile(dev_t device, ino_t inode);

}  // namespace quipular
