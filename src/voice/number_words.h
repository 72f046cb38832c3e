// Whole numbers read as Portuguese words, and the word files that say them.
#pragma once

#include <string>

namespace quipular {

// Words of a group of three digit characters ("121" gives "cento e vinte e
// um"); empty for "000". Windows-1252 text.
std::string GroupToWords(const std::string& digits);

// Words of a whole number from 0 to 2147483647 ("mil e cem"), groups with
// their names ("um milhão e um"). Windows-1252 text.
std::string NumberToWords(long long value);

// The word file's name without the directory and ".wav": "_" and the word
// cut to 8 characters, with ã, õ and "dezessete" replaced ("_quatroc").
std::string WordFileName(const std::string& word);

// Plays a text of words; with feminine set the last "um" is said "uma" and
// "dois" "duas".
void SpeakWords(const std::string& words, bool feminine);

}  // namespace quipular
