// The window's keys: SDL's key codes as the console's keyboard handling sees
// them, one table. A header of its own, so that the tests walk the table
// without opening a window.
#pragma once

#include <SDL_keycode.h>

#include "console/key_codes.h"
#include "console/window_device.h"

namespace quipular {

constexpr WindowKey WindowKeyKind(WindowKey::Kind kind) {
  return {kind, 0, kNoExtendedKey};
}
constexpr WindowKey WindowKeyExtended(ExtendedKey key) {
  return {WindowKey::kExtended, 0, key};
}
constexpr WindowKey WindowKeyDigit(char digit) {
  return {WindowKey::kDigit, digit, kNoExtendedKey};
}

// A key that is not a letter or a digit of the main keys. The keypad's keys
// are cursor keys while Num Lock is off; with it on, they are num_lock (0
// types its digit, the others their characters as text only).
struct SdlKey {
  SDL_Keycode sym;
  WindowKey key;
  bool keypad = false;
  WindowKey num_lock = {};
};

inline constexpr SdlKey kSdlKeys[] = {
    {SDLK_PLUS, WindowKeyKind(WindowKey::kPlus)},
    {SDLK_EQUALS, WindowKeyKind(WindowKey::kPlus)},
    {SDLK_KP_PLUS, WindowKeyKind(WindowKey::kPlus)},
    {SDLK_MINUS, WindowKeyKind(WindowKey::kMinus)},
    {SDLK_KP_MINUS, WindowKeyKind(WindowKey::kMinus)},
    {SDLK_SPACE, WindowKeyKind(WindowKey::kSpace)},
    {SDLK_RETURN, WindowKeyKind(WindowKey::kEnter)},
    {SDLK_KP_ENTER, WindowKeyKind(WindowKey::kEnter)},
    {SDLK_BACKSPACE, WindowKeyKind(WindowKey::kBackspace)},
    {SDLK_TAB, WindowKeyKind(WindowKey::kTab)},
    {SDLK_ESCAPE, WindowKeyKind(WindowKey::kEsc)},
    {SDLK_PAUSE, WindowKeyKind(WindowKey::kBreak)},
    {SDLK_CANCEL, WindowKeyKind(WindowKey::kBreak)},
    {SDLK_F1, WindowKeyExtended(kKeyF1)},
    {SDLK_F2, WindowKeyExtended(kKeyF2)},
    {SDLK_F3, WindowKeyExtended(kKeyF3)},
    {SDLK_F4, WindowKeyExtended(kKeyF4)},
    {SDLK_F5, WindowKeyExtended(kKeyF5)},
    {SDLK_F6, WindowKeyExtended(kKeyF6)},
    {SDLK_F7, WindowKeyExtended(kKeyF7)},
    {SDLK_F8, WindowKeyExtended(kKeyF8)},
    {SDLK_F9, WindowKeyExtended(kKeyF9)},
    {SDLK_F10, WindowKeyExtended(kKeyF10)},
    {SDLK_F11, WindowKeyExtended(kKeyF11)},
    {SDLK_F12, WindowKeyExtended(kKeyF12)},
    {SDLK_INSERT, WindowKeyExtended(kKeyIns)},
    {SDLK_DELETE, WindowKeyExtended(kKeyDel)},
    {SDLK_HOME, WindowKeyExtended(kKeyHome)},
    {SDLK_END, WindowKeyExtended(kKeyEnd)},
    {SDLK_PAGEUP, WindowKeyExtended(kKeyPgUp)},
    {SDLK_PAGEDOWN, WindowKeyExtended(kKeyPgDn)},
    {SDLK_UP, WindowKeyExtended(kKeyUp)},
    {SDLK_DOWN, WindowKeyExtended(kKeyDown)},
    {SDLK_LEFT, WindowKeyExtended(kKeyLeft)},
    {SDLK_RIGHT, WindowKeyExtended(kKeyRight)},
    {SDLK_KP_0, WindowKeyExtended(kKeyIns), true, WindowKeyDigit('0')},
    {SDLK_KP_PERIOD, WindowKeyExtended(kKeyDel), true},
    {SDLK_KP_7, WindowKeyExtended(kKeyHome), true},
    {SDLK_KP_1, WindowKeyExtended(kKeyEnd), true},
    {SDLK_KP_9, WindowKeyExtended(kKeyPgUp), true},
    {SDLK_KP_3, WindowKeyExtended(kKeyPgDn), true},
    {SDLK_KP_8, WindowKeyExtended(kKeyUp), true},
    {SDLK_KP_2, WindowKeyExtended(kKeyDown), true},
    {SDLK_KP_4, WindowKeyExtended(kKeyLeft), true},
    {SDLK_KP_6, WindowKeyExtended(kKeyRight), true},
};

// The key an SDL key code stands for, with Num Lock on or off; kOther for
// keys that type no code of their own.
inline WindowKey SdlWindowKey(SDL_Keycode sym, bool num_lock) {
  if (sym >= SDLK_a && sym <= SDLK_z)
    return {WindowKey::kLetter, static_cast<char>('A' + (sym - SDLK_a)), kNoExtendedKey};
  if (sym >= SDLK_0 && sym <= SDLK_9)
    return {WindowKey::kDigit, static_cast<char>(sym), kNoExtendedKey};
  for (const SdlKey& k : kSdlKeys)
    if (k.sym == sym) return k.keypad && num_lock ? k.num_lock : k.key;
  return {};
}

}  // namespace quipular
