// Terminal input decoding: bytes from the terminal to the console's key codes.
// All knowledge of terminal key sequences lives here.
#include "console/terminal_keys.h"

#include <cctype>
#include <vector>

#include "console/key_codes.h"
#include "console/text_encoding.h"

namespace quipular {
namespace {

// Longest sequence taken as one key; anything longer is noise and dropped.
constexpr size_t kMaxSequence = 32;

// "ESC [ n ~" key numbers (vt220, xterm, rxvt).
struct TildeKey {
  int number;
  ExtendedKey key;
};
constexpr TildeKey kTildeKeys[] = {
    {1, kKeyHome}, {2, kKeyIns},  {3, kKeyDel},  {4, kKeyEnd},  {5, kKeyPgUp},
    {6, kKeyPgDn}, {7, kKeyHome}, {8, kKeyEnd},  {11, kKeyF1},  {12, kKeyF2},
    {13, kKeyF3},  {14, kKeyF4},  {15, kKeyF5},  {17, kKeyF6},  {18, kKeyF7},
    {19, kKeyF8},  {20, kKeyF9},  {21, kKeyF10}, {23, kKeyF11}, {24, kKeyF12},
};

// Final letters of "ESC [ ... X" and "ESC O ... X" for cursor keys and F1-F4.
struct LetterKey {
  char final;
  ExtendedKey key;
};
constexpr LetterKey kLetterKeys[] = {
    {'A', kKeyUp},  {'B', kKeyDown}, {'C', kKeyRight}, {'D', kKeyLeft}, {'H', kKeyHome},
    {'F', kKeyEnd}, {'P', kKeyF1},   {'Q', kKeyF2},    {'R', kKeyF3},   {'S', kKeyF4},
};

// Keypad keys in application mode ("ESC O X"), as the characters they type.
struct KeypadKey {
  char final;
  char character;
};
constexpr KeypadKey kKeypadKeys[] = {
    {'M', 13},  {'j', '*'}, {'k', '+'}, {'l', ','}, {'m', '-'}, {'n', '.'},
    {'o', '/'}, {'X', '='}, {'p', '0'}, {'q', '1'}, {'r', '2'}, {'s', '3'},
    {'t', '4'}, {'u', '5'}, {'v', '6'}, {'w', '7'}, {'x', '8'}, {'y', '9'},
};

TerminalKey Codes(int used, std::string codes, char ctrl_letter = 0) {
  TerminalKey k;
  k.used = used;
  k.codes = std::move(codes);
  k.ctrl_letter = ctrl_letter;
  return k;
}

TerminalKey Ignored(int used) {
  return Codes(used, {});
}

TerminalKey NeedMore() {
  TerminalKey k;
  k.kind = TerminalKey::kNeedMore;
  return k;
}

TerminalKey Extended(int used, unsigned char code) {
  return Codes(used, std::string{'\0', static_cast<char>(code)});
}

// xterm's modifier parameter: 1 + (Shift 1, Alt 2, Ctrl 4, Meta 8).
struct Modifiers {
  bool shift = false, alt = false, ctrl = false;
};
Modifiers FromParameter(int parameter) {
  int bits = parameter > 1 ? parameter - 1 : 0;
  return {(bits & 1) != 0, (bits & 10) != 0, (bits & 4) != 0};
}

// An extended key with modifiers, as the console's keyboard handling has it:
// Alt alone makes a system key of all but Left and Right, which are not
// queued; Ctrl+Alt+F11 and F12 switch the Braille keyboard, which needs key
// releases that a terminal never reports; Shift matters only on Insert.
TerminalKey ExtendedWith(int used, ExtendedKey key, Modifiers m) {
  if (m.alt && !m.ctrl && key != kKeyLeft && key != kKeyRight) return Ignored(used);
  if (m.alt && m.ctrl && (key == kKeyF11 || key == kKeyF12)) return Ignored(used);
  return Extended(used, ExtendedCode(key, m.ctrl, m.shift));
}

TerminalKey AltKey(int used, unsigned char c) {
  unsigned char code = AltCode(static_cast<char>(c));
  return code ? Extended(used, code) : Ignored(used);
}

// A character with modifiers, from the forms that report them
// ("ESC [ 27 ; m ; c ~" and "ESC [ c ; m u").
TerminalKey CharacterWith(int used, int c, Modifiers m) {
  if (m.ctrl) {
    if (c == 13) return Codes(used, "\n");
    if (c == 8 || c == 127) return Codes(used, "\x7f");
    if (c < 128 && std::isalpha(c)) {
      char letter = static_cast<char>(std::toupper(c));
      if (letter == 'C') {
        TerminalKey k = Ignored(used);
        k.kind = TerminalKey::kBreak;
        return k;
      }
      // Ctrl+H is Backspace with Ctrl, Ctrl+M is Enter with Ctrl.
      if (letter == 'H') return Codes(used, "\x7f", letter);
      if (letter == 'M') return Codes(used, "\n", letter);
      return Codes(used, std::string(1, static_cast<char>(letter - 'A' + 1)), letter);
    }
  }
  if (m.alt) return c < 128 ? AltKey(used, static_cast<unsigned char>(c)) : Ignored(used);
  if (c == 127 || c == 8) return Codes(used, "\b");
  if (c == 9 || c == 13 || c == kEsc || (c >= 32 && c < 127) || (c >= 160 && c < 256))
    return Codes(used, std::string(1, static_cast<char>(c)));
  return Ignored(used);
}

std::vector<int> Parameters(std::string_view text) {
  std::vector<int> values(1, 0);
  for (char c : text) {
    if (c == ';')
      values.push_back(0);
    else if (c >= '0' && c <= '9' && values.back() < 100000)
      values.back() = values.back() * 10 + (c - '0');
  }
  return values;
}

// "ESC [ ..." (input starts with those two bytes).
TerminalKey DecodeCsi(std::string_view in, bool complete) {
  size_t n = in.size();
  // The Linux console's F1 to F5: "ESC [ [ A" to "ESC [ [ E".
  if (n > 2 && in[2] == '[') {
    if (n == 3) return complete ? Ignored(3) : NeedMore();
    if (in[3] >= 'A' && in[3] <= 'E') return Extended(4, PlainCode(FunctionKey(1 + in[3] - 'A')));
    return Ignored(4);
  }
  size_t i = 2;
  while (i < n && i < kMaxSequence && in[i] >= 0x20 && in[i] <= 0x3F && in[i] != '$') ++i;
  if (i >= kMaxSequence) return Ignored(static_cast<int>(i));
  if (i == n) {
    if (!complete) return NeedMore();
    // An Esc typed just before '[' stays two keys; a cut sequence is dropped.
    return n == 2 ? Codes(1, "\x1b") : Ignored(static_cast<int>(n));
  }
  unsigned char final = static_cast<unsigned char>(in[i]);
  if ((final < 0x40 && final != '$') || final > 0x7E)
    return Ignored(static_cast<int>(i));  // broken: drop
  int used = static_cast<int>(i + 1);
  std::string_view body = in.substr(2, i - 2);
  if (!body.empty() && (body[0] == '<' || body[0] == '=' || body[0] == '>' || body[0] == '?'))
    return Ignored(used);  // private sequences are replies, not keys
  std::vector<int> p = Parameters(body);
  Modifiers m = FromParameter(p.size() > 1 ? p[1] : 1);

  switch (final) {
    case '~':
    case '^':  // rxvt: Ctrl
    case '$':  // rxvt: Shift
    case '@':  // rxvt: Ctrl+Shift
      if (final == '^' || final == '@') m.ctrl = true;
      if (final == '$' || final == '@') m.shift = true;
      if (p[0] == 27 && p.size() > 2) return CharacterWith(used, p[2], m);
      for (const TildeKey& t : kTildeKeys)
        if (t.number == p[0]) return ExtendedWith(used, t.key, m);
      return Ignored(used);
    case 'u':
      return CharacterWith(used, p[0], m);
    case 'Z':  // Shift+Tab: Shift has no effect on Tab
      return Codes(used, "\t");
    case 'a':  // rxvt: Shift+arrows
    case 'b':
    case 'c':
    case 'd':
      final = static_cast<unsigned char>(std::toupper(final));
      break;
    default:
      break;
  }
  for (const LetterKey& l : kLetterKeys)
    if (l.final == static_cast<char>(final)) return ExtendedWith(used, l.key, m);
  return Ignored(used);
}

// "ESC O ..." (input starts with those two bytes): cursor keys in application
// mode, xterm's F1 to F4, the keypad.
TerminalKey DecodeSs3(std::string_view in, bool complete) {
  size_t n = in.size();
  size_t i = 2;
  while (i < n && i < kMaxSequence && in[i] >= '0' && in[i] <= '9') ++i;
  if (i == n) {
    if (!complete) return NeedMore();
    return n == 2 ? AltKey(2, 'O') : Ignored(static_cast<int>(n));
  }
  char final = in[i];
  if (i >= kMaxSequence || final < 0x40 || final > 0x7E) {
    // Not a sequence after all: Alt+Shift+O, then what follows.
    return i == 2 ? AltKey(2, 'O') : Ignored(static_cast<int>(i));
  }
  int used = static_cast<int>(i + 1);
  Modifiers m = FromParameter(i > 2 ? Parameters(in.substr(2, i - 2))[0] : 1);
  if (final >= 'a' && final <= 'd') {  // rxvt: Ctrl+arrows
    m.ctrl = true;
    final = static_cast<char>(std::toupper(final));
  }
  for (const LetterKey& l : kLetterKeys)
    if (l.final == final) return ExtendedWith(used, l.key, m);
  for (const KeypadKey& k : kKeypadKeys)
    if (k.final == final) return Codes(used, std::string(1, k.character));
  return Ignored(used);
}

TerminalKey DecodeEscape(std::string_view in, bool complete) {
  if (in.size() == 1) return complete ? Codes(1, "\x1b") : NeedMore();
  unsigned char next = static_cast<unsigned char>(in[1]);
  if (next == '[') return DecodeCsi(in, complete);
  if (next == 'O') return DecodeSs3(in, complete);
  if (next < 128 && std::isalnum(next)) return AltKey(2, next);
  return Codes(1, "\x1b");  // Esc, then whatever follows as a key of its own
}

// A UTF-8 sequence to its Windows-1252 byte; characters with no such byte
// cannot be typed into the calculator and are dropped.
TerminalKey DecodeUtf8(std::string_view in, bool complete) {
  unsigned char lead = static_cast<unsigned char>(in[0]);
  size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                 : 0;
  if (length == 0) return Ignored(1);
  for (size_t i = 1; i < length; ++i) {
    if (i == in.size()) return complete ? Ignored(static_cast<int>(i)) : NeedMore();
    if ((static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) return Ignored(static_cast<int>(i));
  }
  std::string byte = Cp1252(in.substr(0, length));
  if (byte == "?") return Ignored(static_cast<int>(length));
  return Codes(static_cast<int>(length), byte);
}

}  // namespace

TerminalKey DecodeTerminalKey(std::string_view input, bool complete) {
  if (input.empty()) return NeedMore();
  unsigned char b = static_cast<unsigned char>(input[0]);
  if (b == kEsc) return DecodeEscape(input, complete);
  if (b >= 128) return DecodeUtf8(input, complete);
  if (b == 3) {
    TerminalKey k = Ignored(1);
    k.kind = TerminalKey::kBreak;
    k.ctrl_letter = 'C';
    return k;
  }
  // Backspace sends 127 or 8; Ctrl+H sends 8 as well and cannot be told apart.
  if (b == 127) return Codes(1, "\b");
  if (b == 8) return Codes(1, "\b", 'H');
  if (b == 0) return Ignored(1);  // Ctrl+Space would look like an extended-key prefix
  // Enter sends 13 and so does Ctrl+M; Ctrl+J's 10 is the console's Ctrl+M.
  if (b == 13) return Codes(1, "\r");
  if (b == 10) return Codes(1, "\n", 'M');
  return Codes(1, std::string(1, static_cast<char>(b)),
               b <= 26 ? static_cast<char>('A' + b - 1) : 0);
}

}  // namespace quipular
