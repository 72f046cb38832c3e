#!/usr/bin/env python3
"""Builds Quipular's voice pack from the phrase tables.

Every sound key, character name and number word is spoken by espeak-ng's
Brazilian Portuguese voice at its own rate (22050 samples a second, 16-bit
mono), its leading and trailing silence cut to a fixed short margin, brought
to one speech level, and stored losslessly as FLAC under the name the
program asks for (".wav": the program tells the two apart by their first
bytes, so a user may put a plain wave recording in any file's place). The
tree is laid out like the drive root that the settings' "c:" stands for.
Only entries whose text (or this script's processing) changed are recorded
again; the rest is kept.
"""

import argparse
import array
import concurrent.futures
import json
import math
import os
import subprocess
import sys
import tempfile
import wave

# Raise when the recording or conversion below changes, so that every file
# is recorded again.
PROCESSING = "espeak-ng pt-br, 22050 Hz s16 mono, trimmed, -23 dB speech level, flac, v2"

RATE = 22050
SOUND_DIR = "orbela/som/quipular"
LETTERS_DIR = "orbela/som/letras"
DIPHONE_DIR = "orbela/som/difones"
CALENDAR_DIR = "orbela/som/quipular/Comandos/Datas"
DIPHONE_DATABASE = "br1"
# The words of a number are joined in a buffer that holds as long a sound as
# 30000 samples at 11025 a second; no word may be longer.
WORD_SECONDS_MAX = 30000 / 11025

# The speech level every file is brought to: the mean power of the 50 ms
# blocks that hold speech (blocks above -60 dB, and no more than 10 dB below
# the mean of those), in dB of a full-scale square wave. Speech has peaks
# some 15 to 20 dB above it, so -23 leaves room without clipping.
LEVEL_TARGET = -23.0
LEVEL_BLOCK = 0.05
ABSOLUTE_GATE = -60.0
RELATIVE_GATE = -10.0
# Sound starts and ends where a sample first and last reaches this (0.5 % of
# full scale); the margins kept around it, in seconds.
SOUND_THRESHOLD = 164
LEAD_MARGIN = 0.010
TAIL_MARGIN = {"word": 0.030, "phrase": 0.080}


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


def speech_level(samples):
    """The speech level of 16-bit samples in dB (see LEVEL_TARGET), or None
    for silence."""
    size = max(1, int(RATE * LEVEL_BLOCK))
    powers = []
    for start in range(0, len(samples), size):
        block = samples[start:start + size]
        if len(block) < size // 2 and powers:
            break  # a short last block says little
        powers.append(sum(map(int.__mul__, block, block)) / len(block) / 32768.0 ** 2)
    loud = [p for p in powers if p > 10 ** (ABSOLUTE_GATE / 10)]
    if not loud:
        return None
    gate = sum(loud) / len(loud) * 10 ** (RELATIVE_GATE / 10)
    speech = [p for p in loud if p > gate]
    return 10 * math.log10(sum(speech) / len(speech))


def sound_bounds(samples):
    """The first and last sample that reach the sound threshold, or None."""
    first = next((i for i, x in enumerate(samples) if abs(x) >= SOUND_THRESHOLD), None)
    if first is None:
        return None
    last = len(samples) - 1
    while abs(samples[last]) < SOUND_THRESHOLD:
        last -= 1
    return first, last


def shape(samples, kind):
    """The synthesizer's samples with the margins fixed and the level set:
    cut (or padded with silence) to LEAD_MARGIN before the first sound and
    the kind's TAIL_MARGIN after the last, then scaled to LEVEL_TARGET."""
    bounds = sound_bounds(samples)
    if bounds is None:
        return None
    lead, tail = round(LEAD_MARGIN * RATE), round(TAIL_MARGIN[kind] * RATE)
    start, end = bounds[0] - lead, bounds[1] + 1 + tail
    shaped = array.array("h", bytes(2 * max(0, -start)))
    shaped.extend(samples[max(0, start):end])
    shaped.extend(array.array("h", bytes(2 * max(0, end - len(samples)))))
    gain = 10 ** ((LEVEL_TARGET - speech_level(shaped)) / 20)
    # Never past full scale: a peak that would clip lowers the whole file.
    peak = max(max(shaped), -min(shaped))
    gain = min(gain, 32767 / peak)
    return array.array("h", (round(x * gain) for x in shaped))


def read_speech(path):
    with wave.open(path, "rb") as speech:
        if (speech.getnchannels(), speech.getsampwidth(), speech.getframerate()) != (1, 2, RATE):
            raise RuntimeError(f"espeak-ng gave {speech.getframerate()} Hz, "
                               f"{8 * speech.getsampwidth()} bits")
        samples = array.array("h", speech.readframes(speech.getnframes()))
    if sys.byteorder != "little":
        samples.byteswap()
    return samples


def record(text, kind, target):
    """Says text and stores it at target (FLAC, 16-bit mono, RATE)."""
    with tempfile.TemporaryDirectory(prefix="quipular-voice-") as work:
        speech = os.path.join(work, "speech.wav")
        subprocess.run(["espeak-ng", "-v", "pt-br", "-b", "1", "-w", speech, "--stdin"],
                       input=text.encode("utf-8"), check=True, capture_output=True)
        samples = shape(read_speech(speech), kind)
        if samples is None or len(samples) < RATE // 20:
            raise RuntimeError(f"{target}: almost nothing was said for {text!r}")
        if kind == "word" and len(samples) > WORD_SECONDS_MAX * RATE:
            raise RuntimeError(f"{target}: {text!r} is longer than a number's buffer")
        if sys.byteorder != "little":
            samples.byteswap()
        encoded = os.path.join(work, "speech.flac")
        subprocess.run(["sox", "-D", "-t", "raw", "-r", str(RATE), "-e", "signed-integer",
                        "-b", "16", "-c", "1", "-", "-C", "8", encoded],
                       input=samples.tobytes(), check=True, capture_output=True)
        with open(encoded, "rb") as flac:
            write_if_changed(target, flac.read())


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
