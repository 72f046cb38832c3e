// The speech transcript kept for --speech.
#include "console/transcript.h"

namespace quipular {

SpeechTranscript g_transcript;

void RecordSpeech(const std::string& line) {
  if (g_transcript.enabled) g_transcript.lines.push_back(line);
}

}  // namespace quipular
