// The illustrated lessons: worked cases shown as the calculator would show
// them, with a recorded narration of the same lesson.
#pragma once

#include "guidance/repeat_question.h"

namespace quipular {

// Runs the lesson of a menu row in the column of kind "U" or "o" until the
// user stops repeating it, and answers where the user went from it
// (kNoExample when that row has no lesson).
ExampleEnd RunLesson(char kind, int row);

}  // namespace quipular
