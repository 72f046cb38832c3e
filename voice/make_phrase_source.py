#!/usr/bin/env python3
"""Builds the phrase tables into the program (a C++ source), so that a speech
server says each prompt with the same words as the voice pack."""
import argparse
import os

from make_voice_pack import TableError, read_table


def literal(text):
    """A C++ string literal of UTF-8 text, escaped byte by byte."""
    out = []
    for byte in text.encode("utf-8"):
        if byte in (0x22, 0x5C) or byte < 0x20 or byte >= 0x7F:
            out.append(f"\\{byte:03o}")
        else:
            out.append(chr(byte))
    return '"' + "".join(out) + '"'


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--tables", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    phrases = read_table(os.path.join(args.tables, "phrases.tsv"))
    characters = read_table(os.path.join(args.tables, "characters.tsv"))
    words = read_table(os.path.join(args.tables, "words.tsv"))
    names = [None] * 256
    for number, fields in characters:
        if len(fields) != 2 or not fields[0].isdigit() or not 32 <= int(fields[0]) <= 255:
            raise TableError(f"characters.tsv:{number}: expected a code 32 to 255 and a name")
        names[int(fields[0])] = fields[1]
    lines = [
        "// Generated from voice/phrases.tsv, characters.tsv and words.tsv; do not edit.",
        '#include "voice/phrase_tables.h"',
        "",
        "namespace quipular {",
        "",
        "const PhraseRow kSoundPhrases[] = {",
    ]
    lines += [f"    {{{literal(f[0])}, {literal(f[1])}}}," for _, f in phrases]
    lines += ["};", "const size_t kSoundPhraseCount = sizeof kSoundPhrases / sizeof *kSoundPhrases;", ""]
    lines += ["const char* const kCharacterNames[256] = {"]
    lines += [f"    {literal(n) if n else 'nullptr'}," for n in names]
    lines += ["};", "", "const PhraseRow kNumberWords[] = {"]
    lines += [f"    {{{literal(f[0])}, {literal(f[-1])}}}," for _, f in words]
    lines += ["};", "const size_t kNumberWordCount = sizeof kNumberWords / sizeof *kNumberWords;", "",
              "}  // namespace quipular", ""]
    text = "\n".join(lines)
    try:
        with open(args.out, encoding="utf-8") as old:
            if old.read() == text:
                return
    except OSError:
        pass
    with open(args.out, "w", encoding="utf-8") as out:
        out.write(text)


if __name__ == "__main__":
    main()
