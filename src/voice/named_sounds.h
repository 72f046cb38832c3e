// Named sounds: a sound key, a character's name or a text spelled out, played
// from the recorded prompts. Each returns when heard; a prompt asked for
// while a key is already waiting is skipped.
#pragma once

#include <string>

#include "voice/sound_directories.h"

namespace quipular {

void PlaySoundKey(const std::string& key);
void SpellCharacter(unsigned char c);
void SpellText(const std::string& text);

// Plays the wave file of a Windows-style path as a prompt described by a
// transcript line: skipped (and marked so) when a key is waiting, marked cut
// when a key stops it.
void PlayPrompt(const std::string& line, const std::string& windows_path);

// The two ends of a prompt played some other way: BeginPrompt notes the line
// and answers false when the prompt is to be skipped; EndPrompt marks it cut
// when a key stopped it.
bool BeginPrompt(const std::string& line);
void EndPrompt();

}  // namespace quipular
