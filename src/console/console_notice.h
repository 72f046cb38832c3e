// What a front-end has to say of its own keys (the window's text size and
// its magnifier): posted while events are handled, said by the voice while
// the program waits for a key, never in the middle of another prompt.
#pragma once

namespace quipular {

enum ConsoleNotice : int { kNoticeTextSize, kNoticeMagnifierOn, kNoticeMagnifierOff };

struct PendingNotice {
  int notice = -1;  // -1 for none
  int value = 0;    // the text size in percent
  void (*say)(int notice, int value) = nullptr;
};

extern PendingNotice g_notice;

// A newer notice takes the place of one not yet said.
void PostNotice(ConsoleNotice notice, int value = 0);
void SetNoticeHandler(void (*handler)(int notice, int value));

}  // namespace quipular
