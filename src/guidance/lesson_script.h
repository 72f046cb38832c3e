// The illustrated lessons as data: the shapes of their lines and the table
// built from lessons.txt, which the walker in lessons.cpp shows.
#pragma once

#include <span>

namespace quipular {

enum class Role {
  kExplain,    // white on blue: explanation
  kTyped,      // white on black: results, problems, tables; "" ends a line
  kPrompt,     // "Operando: " on red, then the text typed; "|" switches to red and back
  kHeading,    // a numbered heading on red, with a line end
  kHeadingAt,  // a table heading on red at column, row (column 0: the cursor); no line end
  kPage,       // the end of the first page of a two-page lesson
};

struct LessonLine {
  Role role;
  const char* text = "";
  int column = 0, row = 0;
};

enum class Screen {
  kHeader,    // under the guidance screen's header
  kFull,      // the whole console
  kTwoPages,  // the whole console, twice
};

struct Lesson {
  char kind;  // the menu column: "U" illustrated, "o" financial and statistical
  int row;    // the menu entry
  const char* title;
  Screen screen;
  const char* title_sound;
  const char* narrations[2];  // one per page
  std::span<const LessonLine> lines;
};

// The lessons in menu order, from lessons.txt.
std::span<const Lesson> Lessons();

}  // namespace quipular
