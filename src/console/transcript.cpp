// The speech transcript kept for --speech.
#include "console/transcript.h"

namespace quipular {

SpeechTranscript g_transcript;

size_t RecordSpeech(const std::string& line) {
  if (!g_transcript.enabled) return 0;
  g_transcript.lines.push_back(line);
  return g_transcript.lines.size();
}

void MarkSpeechCut(size_t line) {
  if (g_transcript.enabled && line > 0 && line <= g_transcript.lines.size())
    g_transcript.lines[line - 1] += " [cut]";
}

}  // namespace quipular
