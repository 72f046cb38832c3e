// Named sounds: a sound key, a character's name or a text spelled out, played
// from the recorded prompts. Each returns when heard; a prompt asked for
// while a key is already waiting is skipped.
#pragma once

#include <functional>
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
// and answers false when the prompt is to be skipped; EndPrompt is told
// whether a key stopped it, and marks it cut if so.
bool BeginPrompt(const std::string& line);
void EndPrompt(bool cut);

// A phrase: the prompts asked for from BeginPhrase to the matching
// EndPhrase (a number's sign, words, point and decimals; "equals" and the
// value) go to the engine as one text, so that its voice reads them as one
// sentence. Each prompt is noted in the transcript as it is asked for, and
// one skipped because a key waits is left out; a key that stops the phrase
// marks its last prompt cut. The recorded prompts play as before.
void BeginPhrase();
void EndPhrase();
// Keeps a prompt's text for the phrase being gathered, with what plays it
// from its recording should the engine go (true when a key cut it); false
// when no phrase is open (or no engine is in use) and the prompt is said at
// once.
bool GatherForPhrase(const std::string& text, std::function<bool()> recording);

}  // namespace quipular
