// The window's text size, kept for the next start in the user's own
// settings: $XDG_CONFIG_HOME/quipular/janela.ini (~/.config/quipular/).
#pragma once

#include <string>

namespace quipular {

constexpr int kFittingTextSize = 100;  // percent: the largest text that fits the window
constexpr int kSmallestTextSize = 50;
constexpr int kLargestTextSize = 200;
constexpr int kTextSizeStep = 10;

// The file the text size is kept in; empty when neither XDG_CONFIG_HOME nor
// HOME is set.
std::string TextSizeFile();

// The kept text size in percent of the fitting size; 100 when none is kept
// or the file's value is not a whole number from 50 to 200.
int ReadTextSize();

// Keeps the text size: the file is written whole beside its old self and
// then put in its place, so that it is never found half written. False,
// with the reason, when it cannot be written.
bool SaveTextSize(int percent, std::string& error);

}  // namespace quipular
