// Portuguese number words: groups of three digits, group names, joiners.
#include "voice/number_words.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "console/text_console.h"
#include "console/text_encoding.h"
#include "voice/named_sounds.h"
#include "voice/speech_engine.h"
#include "voice/voice_state.h"
#include "voice/wave_cache.h"
#include "voice/wave_format.h"
#include "voice/wave_player.h"

namespace quipular {
namespace {

const char* const kUnits[10] = {"zero",  "um",   "dois", "tres", "quatro",
                                "cinco", "seis", "sete", "oito", "nove"};
const char* const kTeens[10] = {"dez",    "onze",      "doze",      "treze",   "quatorze",
                                "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
const char* const kTens[10] = {"",          "",         "vinte",   "trinta",  "quarenta",
                               "cinquenta", "sessenta", "setenta", "oitenta", "noventa"};
const char* const kHundreds[10] = {"cem",          "cento",      "duzentos",   "trezentos",
                                   "quatrocentos", "quinhentos", "seiscentos", "setecentos",
                                   "oitocentos",   "novecentos"};

// Names of the groups 10^12, 10^9, 10^6 and 10^3, singular and plural.
struct GroupName {
  std::string singular, plural;
};
const GroupName& Name(int group) {
  static const GroupName names[4] = {{Cp1252("trilhão "), Cp1252("trilhões ")},
                                     {Cp1252("bilhão "), Cp1252("bilhões ")},
                                     {Cp1252("milhão "), Cp1252("milhões ")},
                                     {"mil ", "mil "}};
  return names[group];
}

}  // namespace

std::string GroupToWords(const std::string& digits) {
  if (digits.size() != 3) return {};
  int h = digits[0] - '0', t = digits[1] - '0', u = digits[2] - '0';
  if (h == 0 && t == 0 && u == 0) return {};
  if (h == 1 && t == 0 && u == 0) return "cem";
  std::string words;
  if (h != 0) {
    words = kHundreds[h];
    if (t == 0 && u == 0) return words;
    words += " e ";
  }
  if (t == 1) return words + kTeens[u];
  if (t >= 2) {
    words += kTens[t];
    if (u == 0) return words;
    words += " e ";
  }
  if (u >= 1) words += kUnits[u];
  return words;
}

std::string NumberToWords(long long value) {
  if (value <= 0) return "zero";
  char digits[32];
  std::snprintf(digits, sizeof digits, "%015lld", value);
  std::string groups[5];
  int last = 4, first = -1;
  for (int k = 0; k < 5; ++k) {
    std::string group(digits + 3 * k, 3);
    groups[k] = GroupToWords(group);
    if (k < 4 && group != "000")
      groups[k] += " " + (group == "001" ? Name(k).singular : Name(k).plural);
  }
  for (int k = 0; k < 5; ++k)
    if (!groups[k].empty()) {
      if (first < 0) first = k;
      last = k;
    }
  std::string text;
  for (int k = 0; k <= last; ++k) {
    if (k == last && k != first) text += "e ";
    text += groups[k];
  }
  if (text.rfind("um mil", 0) == 0 && text.rfind("um milh", 0) != 0) text.erase(0, 3);
  return text;
}

std::string WordFileName(const std::string& word) {
  std::string w;
  for (char c : word) {
    unsigned char u = static_cast<unsigned char>(c);
    w += u == 0xE3 ? 'a' : u == 0xF5 ? 'o' : c;  // ã, õ
  }
  if (w == "dezessete") w = "dezeset";
  return ("_" + w).substr(0, 8);
}

namespace {

// One assembled wave holds as long a sound as 30000 samples at 11025 a
// second, whatever the words' format.
constexpr size_t kAssemblySamples = 30000;
constexpr int kAssemblyRate = 11025;

// The assembly buffer: a 44-byte header, then the samples of the words, all
// of one format (that of the first word; a word of another format starts a
// wave of its own).
struct WordWave {
  std::vector<uint8_t>& bytes;  // the layer's assembly buffer
  size_t collected = 0;         // bytes of samples after the header
  int rate = 0, channels = 0, bits = 0;
  bool cut = false;  // a key stopped a wave played since the words began

  void Play() {
    if (collected == 0) return;
    WriteWordHeader(bytes.data(), static_cast<uint32_t>(collected), rate, channels, bits);
    cut = PlayWordWave(bytes.data(), 44 + collected) || cut;
    collected = 0;
  }

  // Adds the samples of a word file; a file longer than the buffer gives
  // only what fits.
  void Add(const std::string& windows_path) {
    std::shared_ptr<const Wave> word = LoadPrompt(windows_path);
    if (!word) return;
    if (word->rate != rate || word->channels != channels || word->bits != bits) {
      Play();
      rate = word->rate;
      channels = word->channels;
      bits = word->bits;
    }
    size_t frame = static_cast<size_t>(channels * bits / 8);
    size_t capacity = kAssemblySamples * static_cast<size_t>(rate) / kAssemblyRate * frame;
    size_t count = std::min(word->data.size(), capacity);
    if (collected + count > capacity) Play();
    if (bytes.size() < 44 + capacity) bytes.resize(44 + capacity);
    std::copy_n(word->data.begin(), count, bytes.begin() + 44 + collected);
    collected += count;
  }
};

// Plays the words from their recordings, assembled into one wave; true
// when a key cut them.
bool PlayWords(const std::vector<std::string>& list) {
  WordWave wave{g_voice_state.word_wave};
  for (const std::string& word : list) {
    if (KeyPressed()) break;
    wave.Add(g_sounds.letters_directory + WordFileName(word) + ".wav");
  }
  wave.Play();
  return wave.cut;
}

}  // namespace

void SpeakWords(const std::string& words, bool feminine) {
  std::vector<std::string> list;
  size_t pos = 0;
  while (pos < words.size()) {
    size_t start = words.find_first_not_of(' ', pos);
    if (start == std::string::npos) break;
    size_t end = words.find(' ', start);
    list.push_back(words.substr(start, end == std::string::npos ? std::string::npos : end - start));
    pos = end == std::string::npos ? words.size() : end;
  }
  if (list.empty()) return;
  if (feminine && list.back() == "um") list.back() = "uma";
  if (feminine && list.back() == "dois") list.back() = "duas";
  std::string said;
  for (const std::string& word : list) said += (said.empty() ? "" : " ") + word;
  if (!BeginPrompt("words " + Utf8(said))) return;
  if (SpeechEngineActive()) {
    if (GatherForPhrase(SaidWords(said), [list] { return PlayWords(list); })) return;
    if (Said engine = SayText(SaidWords(said)); engine != Said::kNot)
      return EndPrompt(engine == Said::kCut);
  }
  EndPrompt(PlayWords(list));
}

}  // namespace quipular
