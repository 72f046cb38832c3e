// The illustrated lessons: worked cases shown as the calculator would show
// them, with a recorded narration of the same lesson.
#pragma once

namespace quipular {

// Runs the lesson of a menu row in the column of kind "U" or "o" until the
// user stops repeating it; false when that row has no lesson.
bool RunLesson(char kind, int row);

}  // namespace quipular
