// The key map's announcements: a command key's label written at the cursor
// and its sound played, and the space bar's repeat of the entry.
#pragma once

#include <string>

namespace quipular {

// Writes the key's label at the cursor and plays its sound.
void AnnounceCommand(const std::string& text);
// The space bar: speaks the number being typed (when number_typed), or the
// command's sound.
void RepeatEntry(const std::string& text, bool number_typed);

}  // namespace quipular
