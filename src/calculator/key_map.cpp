// Command announcements, from the command table.
#include "calculator/key_map.h"

#include "calculator/commands.h"
#include "calculator/model.h"
#include "calculator/spoken_results.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "functions/number_text.h"
#include "voice/named_sounds.h"

namespace quipular {

void AnnounceCommand(const std::string& text) {
  const Command* row = FindKey(text);
  if (!row) return;
  bool exponent = row->entry == EntryKind::kExponent;
  if (exponent) {
    // The exponent letter stands out in red.
    SetTextColour(4);
    ConsoleWrite(row->label);
    SetTextColour(15);
  } else {
    ConsoleWrite(Cp1252(row->label));
  }
  // EEX has no sound of its own here: exponent entry plays it.
  if (!exponent) PlaySoundKey(row->sound);
}

void RepeatEntry(const std::string& text, bool number_typed) {
  if (number_typed) {
    KeepDecimalsFor(NumberValue(text));
    SpeakNumber(NumberValue(text));
  }
  if (const Command* row = FindKey(text)) PlaySoundKey(row->sound);
  if (text.empty()) PlaySoundKey("DOnada");
}

}  // namespace quipular
