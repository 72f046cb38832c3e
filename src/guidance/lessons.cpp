// The one walker of the illustrated lessons (their lines are in lessons.txt):
// it shows a lesson, plays its narration and asks whether to repeat it.
#include "guidance/lessons.h"

#include <span>
#include <string>

#include "calculator/working_screen.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "guidance/lesson_script.h"
#include "guidance/repeat_question.h"
#include "guidance/screens.h"
#include "voice/named_sounds.h"

namespace quipular {
namespace {

// The whole console, cleared on white on black.
void ClearWholeScreen() {
  Colours(15, 0);
  MoveCursor(1, 1);
  ClearScreen();
}

void WriteTitle(const Lesson& lesson) {
  Colours(15, 2);
  ConsoleWriteLine();
  ConsoleWriteLine(Cp1252(lesson.title));
}

// A prompt line: the label, then what was typed; a "|" in the text switches
// between the typed colours and the label's red.
void WritePrompt(const std::string& text) {
  Colours(15, 4);
  ConsoleWrite("Operando: ");
  bool red = false;
  size_t from = 0;
  for (;;) {
    Colours(15, red ? 4 : 0);
    size_t bar = text.find('|', from);
    ConsoleWrite(text.substr(from, bar == std::string::npos ? bar : bar - from));
    if (bar == std::string::npos) break;
    from = bar + 1;
    red = !red;
  }
  Colours(15, 0);
  ConsoleWriteLine();
}

void WriteLine(const LessonLine& line) {
  std::string text = Cp1252(line.text);
  switch (line.role) {
    case Role::kExplain:
      Colours(15, 1);
      ConsoleWriteLine(text);
      break;
    case Role::kTyped:
      Colours(15, 0);
      ConsoleWriteLine(text);
      break;
    case Role::kPrompt:
      WritePrompt(text);
      break;
    case Role::kHeading:
      Colours(15, 4);
      ConsoleWriteLine(text);
      break;
    case Role::kHeadingAt:
      Colours(15, 4);
      if (line.column) MoveCursor(line.column, line.row);
      ConsoleWrite(text);
      break;
    case Role::kPage:
      break;
  }
}

// One showing of the lesson, narrations included.
void ShowLesson(const Lesson& lesson) {
  if (lesson.screen == Screen::kHeader)
    ShowGuidanceScreen(GuidanceScreen::kIllustratedExamples);
  else
    ClearWholeScreen();
  WriteTitle(lesson);
  SetBrailleFocus(CursorRow() - 1);
  PlaySoundKey(lesson.title_sound);
  Pause(200);
  ConsoleWriteLine();
  int page = 0, top = CursorRow();  // a page's narration is shown from its first row
  for (const LessonLine& line : lesson.lines) {
    if (line.role != Role::kPage) {
      WriteLine(line);
      continue;
    }
    NarrateRows(top, kRows);
    PlaySoundKey(lesson.narrations[page++]);
    Pause(300);
    ClearWholeScreen();
    WriteTitle(lesson);
    ConsoleWriteLine();
    top = CursorRow();
  }
  Colours(15, 0);
  NarrateRows(top, kRows);
  PlaySoundKey(lesson.narrations[page]);
  Pause(500);
  SetBrailleFocus(0);
}

}  // namespace

ExampleEnd RunLesson(char kind, int row) {
  for (const Lesson& lesson : Lessons()) {
    if (lesson.kind != kind || lesson.row != row) continue;
    ExampleEnd end;
    do {
      ShowLesson(lesson);
      end = AskRepeatExample();
    } while (end == ExampleEnd::kRepeat);
    return end;
  }
  return ExampleEnd::kNoExample;
}

}  // namespace quipular
