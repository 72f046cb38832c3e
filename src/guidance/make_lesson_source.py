#!/usr/bin/env python3
"""Builds the illustrated lessons (lessons.txt) into the program: a C++
source of the tables that lessons.cpp walks. A line it cannot read stops the
build, naming the line."""
import argparse
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "voice"))
from make_phrase_source import literal  # noqa: E402
from make_voice_pack import data_lines  # noqa: E402

ROLES = {"explain": "kExplain", "typed": "kTyped", "prompt": "kPrompt", "heading": "kHeading",
         "heading-at": "kHeadingAt", "page": "kPage"}
SCREENS = {"header": ("kHeader", 1), "full": ("kFull", 1), "two-pages": ("kTwoPages", 2)}
SOUND = re.compile(r"[A-Za-z0-9_.-]+$")


class LessonError(Exception):
    pass


def read_lessons(path):
    lessons = []
    for number, line in data_lines(path):
        try:
            words = line.split()
            head = words[0]
            if head == "lesson":
                lessons.append(start_lesson(words))
            elif not lessons:
                raise LessonError("a line before the first lesson")
            elif head == "title":
                title, rest = quoted_text(line)
                if rest or lessons[-1]["title"] is not None:
                    raise LessonError("a lesson has one title in quotes")
                lessons[-1]["title"] = title
            else:
                lessons[-1]["lines"].append(screen_line(head, words, line))
        except (LessonError, ValueError) as e:
            raise LessonError("%s:%d: %s" % (path, number, e))
    for lesson in lessons:
        pages = 1 + sum(1 for line in lesson["lines"] if line[0] == "kPage")
        if lesson["title"] is None or pages != lesson["pages"]:
            raise LessonError("%s: lesson %s %d: a title, and one narration a page"
                              % (path, lesson["kind"], lesson["row"]))
    return lessons


def start_lesson(words):
    if len(words) not in (6, 7) or words[1] not in ("U", "o") or words[3] not in SCREENS:
        raise LessonError("lesson KIND ROW SCREEN TITLE_SOUND NARRATION [NARRATION]")
    screen, pages = SCREENS[words[3]]
    narrations = words[5:]
    if len(narrations) != pages or not all(SOUND.match(w) for w in [words[4]] + narrations):
        raise LessonError("a sound name for the title and one narration a page")
    return {"kind": words[1], "row": int(words[2]), "screen": screen, "pages": pages,
            "title_sound": words[4], "narrations": narrations, "title": None, "lines": []}


def quoted_text(line):
    """The text between the line's first and last double quotes, as it
    stands, and the words after it."""
    first, last = line.find('"'), line.rfind('"')
    if first < 0 or last == first:
        raise LessonError("a text in double quotes")
    text = line[first + 1:last]
    if '"' in text:
        raise LessonError("a double quote inside a text")
    return text, line[last + 1:].split()


def screen_line(head, words, line):
    if head not in ROLES:
        raise LessonError("no role %r" % head)
    role = ROLES[head]
    if role == "kPage" or (role == "kTyped" and len(words) == 1):
        if len(words) != 1:
            raise LessonError("%s takes no text" % head)
        return (role, None, None)
    text, place = quoted_text(line)
    if role == "kHeadingAt" and len(place) == 2:
        return (role, text, (int(place[0]), int(place[1])))
    if place:
        raise LessonError("%s takes a text%s" % (head, " and a place" if role == "kHeadingAt" else ""))
    return (role, text, None)


def write_source(lessons, out):
    parts = ["// Built from lessons.txt by make_lesson_source.py: change that file.\n"
             '#include "guidance/lesson_script.h"\n\nnamespace quipular {\nnamespace {\n\n'
             "using R = Role;\n"]
    for index, lesson in enumerate(lessons):
        parts.append("\nconstexpr LessonLine kLines%d[] = {\n" % index)
        for role, text, place in lesson["lines"]:
            fields = ["R::" + role]
            if text is not None:
                fields.append(literal(text))
            if place:
                fields += [str(place[0]), str(place[1])]
            parts.append("    {%s},\n" % ", ".join(fields))
        parts.append("};\n")
    parts.append("\nconstexpr Lesson kLessons[] = {\n")
    for index, lesson in enumerate(lessons):
        narrations = ", ".join(literal(n) for n in lesson["narrations"])
        parts.append("    {'%s', %d, %s, Screen::%s, %s, {%s}, kLines%d},\n"
                     % (lesson["kind"], lesson["row"], literal(lesson["title"]), lesson["screen"],
                        literal(lesson["title_sound"]), narrations, index))
    parts.append("};\n\n}  // namespace\n\nstd::span<const Lesson> Lessons() {\n"
                 "  return kLessons;\n}\n\n}  // namespace quipular\n")
    text = "".join(parts)
    # Written only when it changes, so that the library is not built again.
    if os.path.exists(out):
        with open(out, encoding="utf-8") as f:
            if f.read() == text:
                return
    with open(out, "w", encoding="utf-8") as f:
        f.write(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--lessons", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    try:
        write_source(read_lessons(args.lessons), args.out)
    except LessonError as e:
        sys.exit(str(e))


if __name__ == "__main__":
    main()
