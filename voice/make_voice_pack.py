#!/usr/bin/env python3
"""Builds Quipular's voice pack from the phrase tables.

Every sound key, character name and number word is spoken by espeak-ng's
Brazilian Portuguese voice and stored as an 8-bit unsigned mono wave of
11025 samples per second with a 44-byte header, in a tree laid out like the
drive root that the settings' "c:" stands for. Only entries whose text (or
this script's processing) changed are recorded again; the rest is kept.
"""

import argparse
import concurrent.futures
import json
import os
import struct
import subprocess
import sys
import tempfile

# Raise when the recording or conversion below changes, so that every file
# is recorded again.
PROCESSING = "espeak-ng pt-br, trimmed, normalised, 11025 Hz u8 mono, v1"

RATE = 11025
SOUND_DIR = "orbela/som/quipular"
LETTERS_DIR = "orbela/som/letras"
DIPHONE_DIR = "orbela/som/difones"
CALENDAR_DIR = "orbela/som/quipular/Comandos/Datas"
DIPHONE_DATABASE = "br1"
# SpeakWords gathers the words of a number in a buffer of this many samples.
WORD_SAMPLES_MAX = 30000

SETTINGS = """\
; Quipular's voice settings. The drive c: stands for the voice root:
; $VESTRA_ROOT, else the installation's data directory (share/vestra).
[QUIPULAR]
DIRQUIPULAR=c:\\orbela\\som\\quipular\\

[TRADUTOR]
VELOCIDADE=3
DIRLETRAS=c:\\orbela\\som\\letras\\
DIRDIFONES=c:\\orbela\\som\\difones
SAPI=N

[SINTETIZADOR]
{synthesizer}
[VESTRA]
PGMVESTRA=c:\\orbela

[VIDEO]
FONTE=DejaVu Sans Mono
"""


class TableError(Exception):
    pass


def data_lines(path):
    """The lines of a data file that are neither blank nor comments, with
    their numbers, line ends taken off."""
    with open(path, encoding="utf-8") as data:
        for number, line in enumerate(data, 1):
            line = line.rstrip("\r\n")
            if line.strip() and not line.lstrip().startswith("#"):
                yield number, line


def read_table(path):
    """The entries of a tab-separated table: (line number, fields)."""
    rows = []
    for number, line in data_lines(path):
        fields = [field.strip() for field in line.split("\t")]
        if not fields[0] or any(not field for field in fields[1:]):
            raise TableError(f"{path}:{number}: an empty field")
        rows.append((number, fields))
    return rows


def word_file_name(word):
    """The file name (without .wav) of a number word."""
    plain = word.replace("ã", "a").replace("õ", "o")
    if plain == "dezessete":
        plain = "dezeset"
    return ("_" + plain)[:8]


def key_path(key):
    """Where a sound key's wave lives below the root; "\\" starts a subdirectory."""
    parts = [part for part in key.split("\\") if part]
    if not parts or any(part in (".", "..") or "/" in part for part in parts):
        raise TableError(f"the sound key {key!r} cannot be a file name")
    return "/".join([SOUND_DIR] + parts) + ".wav"


def entries(tables):
    """Every wave of the pack: relative path -> (kind, text to say)."""
    waves = {}
    seen = {}

    def add(path, kind, text, where):
        folded = path.lower()
        if folded in seen:
            raise TableError(f"{where}: the same file as {seen[folded]} (names are case-blind)")
        seen[folded] = where
        waves[path] = (kind, text)

    phrases = os.path.join(tables, "phrases.tsv")
    for number, fields in read_table(phrases):
        if len(fields) != 2:
            raise TableError(f"{phrases}:{number}: expected a key and a phrase")
        add(key_path(fields[0]), "phrase", fields[1], f"{phrases}:{number}")

    characters = os.path.join(tables, "characters.tsv")
    for number, fields in read_table(characters):
        if len(fields) != 2 or not fields[0].isdigit() or not 32 <= int(fields[0]) <= 255:
            raise TableError(f"{characters}:{number}: expected a code 32 to 255 and a name")
        add(f"{LETTERS_DIR}/_{int(fields[0])}.wav", "word", fields[1], f"{characters}:{number}")

    words = os.path.join(tables, "words.tsv")
    for number, fields in read_table(words):
        if len(fields) > 2:
            raise TableError(f"{words}:{number}: expected a word and how it is said")
        said = fields[1] if len(fields) == 2 else fields[0]
        add(f"{LETTERS_DIR}/{word_file_name(fields[0])}.wav", "word", said, f"{words}:{number}")
    return waves


def wave_image(samples):
    """A canonical RIFF/WAVE image: 44-byte header, 8-bit mono, 11025 Hz."""
    header = b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8)
    header += b"data" + struct.pack("<I", len(samples))
    return header + samples


def record(text, kind, target):
    """Says text and writes it to target as a canonical 8-bit wave."""
    with tempfile.TemporaryDirectory(prefix="quipular-voice-") as work:
        speech = os.path.join(work, "speech.wav")
        subprocess.run(["espeak-ng", "-v", "pt-br", "-b", "1", "-w", speech, "--stdin"],
                       input=text.encode("utf-8"), check=True, capture_output=True)
        # Leading and trailing silence cut, so that prompts follow each other
        # and the words of a number join closely; then a short tail again.
        tail = "0.04" if kind == "word" else "0.08"
        trim = ["silence", "1", "0.01", "0.5%"]
        subprocess.run(["sox", speech, "-D", "-t", "raw", "-r", str(RATE), "-c", "1", "-b", "8",
                        "-e", "unsigned-integer", os.path.join(work, "speech.raw")]
                       + trim + ["reverse"] + trim + ["reverse", "gain", "-n", "-1",
                                                      "pad", "0", tail],
                       check=True, capture_output=True)
        with open(os.path.join(work, "speech.raw"), "rb") as raw:
            samples = raw.read()
    if len(samples) < RATE // 20:
        raise RuntimeError(f"{target}: almost nothing was said for {text!r}")
    if kind == "word" and len(samples) > WORD_SAMPLES_MAX:
        raise RuntimeError(f"{target}: {text!r} is longer than a number's buffer")
    write_if_changed(target, wave_image(samples))


def write_if_changed(path, content):
    if isinstance(content, str):
        content = content.encode("utf-8")
    try:
        with open(path, "rb") as old:
            if old.read() == content:
                return
    except OSError:
        pass
    os.makedirs(os.path.dirname(path), exist_ok=True)
    temporary = path + ".part"
    with open(temporary, "wb") as new:
        new.write(content)
    os.replace(temporary, path)


def fixed_files():
    """The files besides the recordings: settings, diphone check, calendar."""
    synthesizer = ""
    for name, value in (("DIFONES", DIPHONE_DATABASE), ("RAPIDINHO", "N"), ("CORTAFALA", "N")):
        synthesizer += "".join(f"{name}{speed}={value}\n" for speed in range(1, 6))
    files = {"windows/VESTRA.INI": SETTINGS.format(synthesizer=synthesizer)}
    # The voice start-up only checks that these open; nothing reads them.
    # They say so, rather than ship as empty files.
    for name in (DIPHONE_DATABASE + ".IND", DIPHONE_DATABASE + ".DIF", "regras.rgr",
                 "portug.exc"):
        files[f"{DIPHONE_DIR}/{name}"] = (
            "Quipular: the voice check opens this file; the prompts are recorded waves.\n")
    # Month and day of month of each day of the year, for DATE.
    for leap, suffix in ((False, ""), (True, "BI")):
        lengths = [31, 29 if leap else 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]
        months = [m for m, n in enumerate(lengths, 1) for _ in range(n)]
        days = [d for n in lengths for d in range(1, n + 1)]
        files[f"{CALENDAR_DIR}/ARQCalendarioMeses{suffix}.txt"] = "".join(f"{m}\n" for m in months)
        files[f"{CALENDAR_DIR}/ArqCalendario{suffix}.txt"] = "".join(f"{d}\n" for d in days)
    return files


def one_spelling(paths):
    """Directories whose names differ only in case become one, since the
    program finds each path component without regard to case."""
    chosen = {}  # a directory, in lower case -> its one spelling
    result = {}
    for path in paths:
        *directories, name = path.split("/")
        spelled = ""
        for part in directories:
            spelled = chosen.setdefault(f"{spelled}/{part}".lower(), f"{spelled}/{part}")
        result[path] = f"{spelled}/{name}".lstrip("/")
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tables", required=True, help="the directory of the phrase tables")
    parser.add_argument("--out", required=True, help="the pack's root directory")
    parser.add_argument("--stamp", help="a file touched when the pack is complete")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    options = parser.parse_args()

    try:
        waves = entries(options.tables)
    except (TableError, OSError) as error:
        print(f"voice pack: {error}", file=sys.stderr)
        return 1
    fixed = fixed_files()
    place = one_spelling(list(waves) + list(fixed))

    cache_path = os.path.join(options.out, ".recorded.json")
    try:
        with open(cache_path, encoding="utf-8") as cache_file:
            cache = json.load(cache_file)
    except (OSError, ValueError):
        cache = {}

    wanted = {place[path]: f"{PROCESSING}|{kind}|{text}" for path, (kind, text) in waves.items()}
    for path in set(cache) - set(wanted):  # no longer in the tables
        try:
            os.remove(os.path.join(options.out, path))
        except OSError:
            pass
        del cache[path]
    todo = [path for path, signature in wanted.items()
            if cache.get(path) != signature or not os.path.exists(os.path.join(options.out, path))]

    failures = []
    originals = {place[path]: value for path, value in waves.items()}
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, options.jobs)) as pool:
        jobs = {pool.submit(record, originals[path][1], originals[path][0],
                            os.path.join(options.out, path)): path for path in todo}
        for job in concurrent.futures.as_completed(jobs):
            path = jobs[job]
            try:
                job.result()
                cache[path] = wanted[path]
            except (subprocess.CalledProcessError, RuntimeError, OSError) as error:
                detail = getattr(error, "stderr", b"") or b""
                failures.append(f"{path}: {error} {detail.decode(errors='replace').strip()}")
                cache.pop(path, None)

    for path, content in fixed.items():
        write_if_changed(os.path.join(options.out, place[path]), content)
    write_if_changed(cache_path, json.dumps(cache, ensure_ascii=False, indent=0, sort_keys=True))

    print(f"voice pack: {len(todo) - len(failures)} of {len(wanted)} waves recorded")
    if failures:
        print("voice pack: could not record:\n  " + "\n  ".join(sorted(failures)), file=sys.stderr)
        return 1
    if options.stamp:
        with open(options.stamp, "w", encoding="utf-8"):
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
