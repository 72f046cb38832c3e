// The calculation log "Calculos_Quipular.txt": every entry and the stack
// after it, CR LF lines in Windows-1252, opened and closed at every write so
// that the file on disk is always complete.
#pragma once

#include <string>
#include <string_view>

namespace quipular {

struct CalculationLog {
  std::string path;             // full path of the log in the start-up directory
  bool kept = false;            // false once a write has failed (the user is told once)
  bool save_abandoned = false;  // the file-name entry was left with Esc or the copy failed
};

extern CalculationLog g_log;

void StartCalculationLog();
// Appends text, with a line end when asked for.
void AppendToLog(std::string_view text, bool end_line);
// Writes a token's log name (or the text itself) as one line.
void LogCommand(const std::string& token);
// Asks for a name and copies the log into it (".txt" added). False when the
// copy was abandoned or failed; the user has then been told.
bool SaveCalculationLog();
// The small line editor of the file name; Esc sets save_abandoned.
std::string ReadFileName(std::string name);
// A bare name is placed in the current directory.
std::string CompletePath(const std::string& name);
void DeleteCalculationLog();

}  // namespace quipular
