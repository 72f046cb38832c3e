#!/usr/bin/env python3
"""Checks Quipular's generated voice pack.

files:        every prompt of the pack decodes (with flac or sox) to 16-bit mono at
              22050 samples a second, at one speech level, with short
              margins of silence; every character a user can type has a
              name; the settings and the files of the voice check are there.
fidelity:     a few prompts, held against the synthesizer's own output for
              the same text, aligned by cross-correlation and matched in
              level, differ from it by a signal-to-noise ratio of at least
              40 dB.
completeness: every prompt the program can ask for has a file. The prompts
              come from the program itself: the sound keys written in its
              sources, and the transcripts of every scenario case run through
              the binary (or kept by the scenario tests: --transcripts).
"""

import argparse
import array
import concurrent.futures
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

import numpy

SOUND_DIR = ("orbela", "som", "quipular")
LETTERS_DIR = ("orbela", "som", "letras")
RATE = 22050
# The words of a number are joined in a buffer as long as 30000 samples at
# 11025 a second.
WORD_SECONDS_MAX = 30000 / 11025
# The speech level: the mean power of the 50 ms blocks above -60 dB and not
# more than 10 dB below their mean, in dB of full scale; every prompt within
# LEVEL_TOLERANCE of LEVEL_TARGET.
LEVEL_TARGET = -23.0
LEVEL_TOLERANCE = 2.0
# Silence before the first sample that reaches 0.5 % of full scale, and after
# the last one, in seconds: (least, most) for character names and number
# words, and for prompts.
SOUND_THRESHOLD = 164
LEAD_LIMITS = (0.005, 0.015)
TAIL_LIMITS = {"word": (0.020, 0.040), "phrase": (0.060, 0.100)}


def find_no_case(directory, components):
    """The path of components below directory, each found case-blind."""
    path = directory
    for component in components:
        try:
            names = os.listdir(path)
        except OSError:
            return None
        match = [name for name in names if name.lower() == component.lower()]
        if not match:
            return None
        path = os.path.join(path, sorted(match)[0])
    return path


def word_file(word):
    """The file of a number word: "_" + word (ã, õ plain; dezessete as dezeset), 8 characters."""
    plain = word.replace("ã", "a").replace("õ", "o")
    if plain == "dezessete":
        plain = "dezeset"
    return ("_" + plain)[:8] + ".wav"


def prompt_file(pack, kind, name):
    """The file that a transcript prompt plays, or None when there is none."""
    if kind == "sound":
        parts = [part for part in name.split("\\") if part]
        if not parts:
            return None
        parts[-1] += ".wav"
        base = LETTERS_DIR if name.startswith("_") else SOUND_DIR
        return find_no_case(pack, base + tuple(parts))
    if kind == "char":
        return find_no_case(pack, LETTERS_DIR + (f"_{int(name)}.wav",))
    return find_no_case(pack, LETTERS_DIR + (word_file(name),))


def read_table(path):
    with open(path, encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            line = line.rstrip("\r\n")
            if line.strip() and not line.lstrip().startswith("#"):
                yield number, line.split("\t")


# --- files ------------------------------------------------------------------


def parse_wave(image):
    """(rate, channels, bits, samples) of a RIFF wave in memory; the samples
    as 16-bit integers."""
    if image[:4] != b"RIFF" or image[12:16] != b"fmt ":
        raise ValueError("no wave")
    _, channels, rate, _, _, bits = struct.unpack("<HHIIHH", image[20:36])
    at = image.find(b"data", 36)
    if at < 0:
        raise ValueError("a wave with no data")
    data = image[at + 8:]
    samples = array.array("h", data[:len(data) // 2 * 2]) if bits == 16 else array.array("h")
    return rate, channels, bits, samples


def decode(path):
    """(rate, channels, bits, samples) of a prompt as sox reads it (FLAC, or
    a plain wave); the samples as 16-bit integers."""
    with open(path, "rb") as file:
        kind = "flac" if file.read(4) == b"fLaC" else "wav"
    result = subprocess.run(["sox", "-t", kind, path, "-t", "wav", "-"], capture_output=True)
    if result.returncode != 0:
        raise ValueError(result.stderr.decode(errors="replace").strip() or "sox cannot read it")
    return parse_wave(result.stdout)


def decode_many(paths, work):
    """decode() of many prompts: the FLAC files of a folder go through one
    flac process (one sox a file would take most of the check's time). For
    each path, its decoding or the ValueError that says why it has none."""
    flacs = {}
    for path in paths:
        with open(path, "rb") as file:
            if file.read(4) == b"fLaC":
                flacs.setdefault(os.path.dirname(path), []).append(path)
    out = {}
    for number, (folder, members) in enumerate(sorted(flacs.items())):
        prefix = os.path.join(work, str(number)) + os.sep
        os.makedirs(prefix)
        subprocess.run(["flac", "-d", "-s", "-f", "--output-prefix=" + prefix, *members],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for path in members:
            try:
                with open(prefix + os.path.basename(path), "rb") as file:
                    out[path] = parse_wave(file.read())
            except (OSError, ValueError):
                pass  # sox below says what is wrong with it
    for path in paths:
        if path not in out:
            try:
                out[path] = decode(path)
            except (OSError, ValueError) as error:
                out[path] = error
    return out


def dot(a, b):
    return sum(map(int.__mul__, a, b))


def speech_level(samples):
    """The speech level of 16-bit samples (a numpy array), or None when no
    block is above -60 dB."""
    size = int(RATE * 0.05)
    starts = numpy.arange(0, len(samples) - size // 2, size)
    ends = numpy.minimum(starts + size, len(samples))
    squares = numpy.concatenate(([0], numpy.cumsum(samples.astype(numpy.int64) ** 2)))
    powers = (squares[ends] - squares[starts]) / (ends - starts) / 32768.0 ** 2
    loud = powers[powers > 1e-6]
    if not loud.size:
        return None
    speech = loud[loud > loud.mean() / 10]
    return 10 * math.log10(speech.mean())


def wave_problem(decoded, kind):
    """What is wrong with a prompt of the pack, given its decoding, or None."""
    if isinstance(decoded, Exception):
        return f"cannot be read: {decoded}"
    rate, channels, bits, samples = decoded
    if (rate, channels, bits) != (RATE, 1, 16):
        return f"format {channels} channels, {rate} Hz, {bits} bits"
    samples = numpy.frombuffer(samples, dtype=numpy.int16)
    loud = numpy.flatnonzero(numpy.abs(samples.astype(numpy.int32)) >= SOUND_THRESHOLD)
    if not loud.size:
        return "silent"
    level = speech_level(samples)
    if abs(level - LEVEL_TARGET) > LEVEL_TOLERANCE:
        return f"speech level {level:.1f} dB, not {LEVEL_TARGET} +- {LEVEL_TOLERANCE}"
    lead, tail = loud[0] / RATE, (len(samples) - 1 - loud[-1]) / RATE
    if not LEAD_LIMITS[0] <= lead <= LEAD_LIMITS[1]:
        return f"{lead * 1000:.0f} ms of silence before the sound"
    if not TAIL_LIMITS[kind][0] <= tail <= TAIL_LIMITS[kind][1]:
        return f"{tail * 1000:.0f} ms of silence after the sound"
    if kind == "word" and len(samples) > WORD_SECONDS_MAX * RATE:
        return "too long to join into a number"
    return None


def check_files(options):
    problems = []
    prompts = []
    for root, _, names in os.walk(os.path.join(options.pack, *SOUND_DIR[:2])):
        kind = "word" if os.path.basename(root) == LETTERS_DIR[-1] else "phrase"
        prompts += [(os.path.join(root, name), kind) for name in sorted(names)
                    if name.lower().endswith(".wav")]
    with tempfile.TemporaryDirectory(prefix="quipular-pack-") as work:
        decoded = decode_many([path for path, _ in prompts], work)
    for path, kind in prompts:
        problem = wave_problem(decoded[path], kind)
        if problem:
            problems.append(f"{os.path.relpath(path, options.pack)}: {problem}")
    waves = len(prompts)

    # Every character a user can type or a prompt holds has a name.
    for code in range(32, 256):
        try:
            bytes([code]).decode("cp1252")
        except UnicodeDecodeError:
            continue
        if code != 127 and not prompt_file(options.pack, "char", str(code)):
            problems.append(f"no name for the character {code}")

    # Every number word of the table has its file.
    for number, fields in read_table(os.path.join(options.tables, "words.tsv")):
        if not prompt_file(options.pack, "words", fields[0]):
            problems.append(f"words.tsv:{number}: no file {word_file(fields[0])}")

    settings = os.path.join(options.pack, "windows", "VESTRA.INI")
    try:
        with open(settings, encoding="utf-8") as ini:
            text = ini.read().lower()
        for key in ("dirquipular=", "dirletras=", "dirdifones=", "difones3=", "pgmvestra="):
            if key not in text:
                problems.append(f"VESTRA.INI has no {key[:-1].upper()}")
        database = re.search(r"^difones3=(\S+)", text, re.M)
        for extension in (".ind", ".dif"):
            if database and not find_no_case(options.pack, ("orbela", "som", "difones",
                                                            database.group(1) + extension)):
                problems.append(f"no diphone file {database.group(1)}{extension}")
    except OSError:
        problems.append("no windows/VESTRA.INI")
    for name in ("regras.rgr", "portug.exc"):
        if not find_no_case(options.pack, ("orbela", "som", "difones", name)):
            problems.append(f"no diphone file {name}")

    print(f"{waves} waves checked")
    return problems


# --- fidelity ---------------------------------------------------------------

# Prompts heavy in sibilants, which a narrow band or a coarse sample loses.
FIDELITY_PROMPTS = (("sound", "DOarchsalva"), ("words", "dezesseis"), ("words", "sessenta"),
                    ("char", "67"))
FIDELITY_LEAST = 40.0  # dB


def envelope(samples, step):
    return [sum(map(abs, samples[i:i + step])) for i in range(0, len(samples), step)]


def best_lag(reference, prompt):
    """The offset of prompt within reference (may be negative) that best
    lines them up: first on envelopes of 64 samples, then sample by sample
    around the best of those."""
    step = 64
    coarse_ref, coarse_prompt = envelope(reference, step), envelope(prompt, step)
    shifts = range(-len(coarse_prompt) + 1, len(coarse_ref))

    def coarse(shift):
        a = coarse_ref[max(0, shift):]
        b = coarse_prompt[max(0, -shift):]
        return sum(map(int.__mul__, a, b))

    around = max(shifts, key=coarse) * step
    window = prompt[:RATE]  # one second is plenty to settle the last samples

    def fine(lag):
        a = reference[max(0, lag):max(0, lag) + len(window)]
        b = window[max(0, -lag):max(0, -lag) + len(a)]
        return dot(a, b)

    return max(range(around - 2 * step, around + 2 * step + 1), key=fine)


def signal_to_noise(reference, prompt):
    """The ratio, in dB, of the prompt's power to that of its difference from
    the reference, once aligned and scaled to it by least squares."""
    lag = best_lag(reference, prompt)
    a = reference[max(0, lag):]
    b = prompt[max(0, -lag):]
    n = min(len(a), len(b))
    a, b = a[:n], b[:n]
    gain = dot(a, b) / dot(b, b)
    noise = sum((x - gain * y) ** 2 for x, y in zip(a, b))
    signal = dot(a, a)
    return 10 * math.log10(signal / noise) if noise else math.inf


def check_fidelity(options):
    problems = []
    texts = {}
    for name, kind in (("phrases.tsv", "sound"), ("characters.tsv", "char"),
                       ("words.tsv", "words")):
        for _, fields in read_table(os.path.join(options.tables, name)):
            fields = [field.strip() for field in fields]
            texts[(kind, fields[0])] = fields[-1]
    with tempfile.TemporaryDirectory(prefix="quipular-fidelity-") as work:
        for kind, name in FIDELITY_PROMPTS:
            path = prompt_file(options.pack, kind, name)
            if not path:
                problems.append(f"no file for {kind} {name}")
                continue
            own = os.path.join(work, "own.wav")
            subprocess.run(["espeak-ng", "-v", "pt-br", "-b", "1", "-w", own, "--stdin"],
                           input=texts[(kind, name)].encode("utf-8"), check=True)
            rate, _, _, reference = decode(own)
            prompt_rate, _, _, prompt = decode(path)
            if prompt_rate != rate:
                problems.append(f"{kind} {name}: {prompt_rate} Hz, the synthesizer's {rate} Hz")
                continue
            snr = signal_to_noise(reference, prompt)
            print(f"{kind} {name}: {snr:.1f} dB")
            if snr < FIDELITY_LEAST:
                problems.append(f"{kind} {name}: {snr:.1f} dB from the synthesizer's own output, "
                                f"less than {FIDELITY_LEAST}")
    return problems


# --- completeness -----------------------------------------------------------

KEY_LITERAL = re.compile(r"D(?:O|o(?=[A-Z]|ayuda))[A-Za-z0-9_%.\-]+")
SUBDIRECTORY_KEY = re.compile(r"\\COMANDOS\\[A-Za-z0-9_\\%.\-]+", re.I)
ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "0": "\0", "\\": "\\", '"': '"', "'": "'", "?": "?"}


def string_literals(source):
    """(line, text, text before, text after) of each string literal of C++ source."""
    i, line, length = 0, 1, len(source)
    while i < length:
        c = source[i]
        if c == "\n":
            line += 1
        if source.startswith("//", i):
            i = source.find("\n", i)
            i = length if i < 0 else i
            continue
        if source.startswith("/*", i):
            end = source.find("*/", i + 2)
            end = length if end < 0 else end + 2
            line += source.count("\n", i, end)
            i = end
            continue
        if c == "'":  # a character literal, or a digit separator
            end = i + 1
            while end < length and source[end] not in "'\n":
                end += 2 if source[end] == "\\" else 1
            i = end + 1 if end < length and source[end] == "'" else end
            continue
        if c == '"':
            raw = i > 0 and source[i - 1] == "R"
            if raw:
                delimiter = source[i + 1:source.find("(", i)]
                end = source.find(")" + delimiter + '"', i)
                end = length if end < 0 else end + len(delimiter) + 2
                line += source.count("\n", i, end)
                i = end
                continue
            text, end = [], i + 1
            while end < length and source[end] not in '"\n':
                if source[end] == "\\" and end + 1 < length:
                    text.append(ESCAPES.get(source[end + 1], source[end + 1]))
                    end += 2
                else:
                    text.append(source[end])
                    end += 1
            before = source[max(0, i - 80):i].rstrip()[-1:]
            yield line, "".join(text), before, source[end + 1:end + 80].lstrip()[:1]
            i = end + 1
            continue
        i += 1


def source_files(sources):
    """The C++ files of a folder of sources (the console's left out: it uses
    nothing of the voice), or a single generated file."""
    if os.path.isfile(sources):
        yield sources
        return
    for root, directories, names in os.walk(sources):
        directories[:] = [d for d in directories if d != "console"]
        for name in sorted(names):
            if name.endswith((".cpp", ".h")):
                yield os.path.join(root, name)


def keys_in_sources(sources):
    """Sound keys written whole in the program's sources: key -> where.

    A literal joined to others with + is only part of a key; the whole key
    is then met in the transcripts."""
    found = {}
    top = os.path.dirname(sources) if os.path.isfile(sources) else sources
    for path in source_files(sources):
        with open(path, encoding="utf-8", errors="replace") as file:
            source = file.read()
        for line, text, before, after in string_literals(source):
            if "+" in (before, after):
                continue
            if KEY_LITERAL.fullmatch(text) or SUBDIRECTORY_KEY.fullmatch(text):
                found.setdefault(text, f"{os.path.relpath(path, top)}:{line}")
    return found


def scenario_cases(path):
    """The cases of a scenario file: (name, keys, env, setup)."""
    cases = []
    with open(path, encoding="utf-8") as scenario:
        for line in scenario:
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            if line.startswith("== "):
                cases.append({"name": line[3:], "keys": "", "env": [], "setup": []})
            elif cases and line.startswith("keys "):
                cases[-1]["keys"] += line[5:] + "\n"
            elif cases and line.startswith("env "):
                cases[-1]["env"].append(line[4:])
            elif cases and line.startswith("setup "):
                cases[-1]["setup"].append(line[6:])
    return cases


def prepare(directory, step):
    what, _, rest = step.partition(" ")
    first, _, second = rest.partition(" ")
    if what == "mkdir":
        os.makedirs(os.path.join(directory, first), exist_ok=True)
    elif what == "symlink":
        os.symlink(first, os.path.join(directory, second))
    elif what == "write":
        target = os.path.join(directory, first)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "w", encoding="utf-8", newline="") as file:
            file.write(second.replace("\\n", "\n"))


def transcript(program, pack, case):
    """The speech lines of one scenario case, run as the scenario runner runs
    it: with the pack as the voice root and its settings."""
    directory = tempfile.mkdtemp(prefix="quipular-voice-check-")
    try:
        os.mkdir(os.path.join(directory, "windows"))
        shutil.copy(os.path.join(pack, "windows", "VESTRA.INI"), os.path.join(directory, "windows"))
        with open(os.path.join(directory, "keys.txt"), "w", encoding="utf-8") as keys:
            keys.write(case["keys"])
        for step in case["setup"]:
            try:
                prepare(directory, step)
            except OSError:
                pass
        env = dict(os.environ, VESTRA_WINDIR=os.path.join(directory, "windows"), HOME=directory,
                   XDG_CONFIG_HOME=os.path.join(directory, "config"), VESTRA_ROOT=pack)
        for assignment in case["env"]:
            name, _, value = assignment.partition("=")
            env[name] = value
        try:
            subprocess.run([program, "--headless", "--keys-file", "keys.txt", "--speech",
                            "speech.txt"], cwd=directory, env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        except subprocess.TimeoutExpired:
            pass
        try:
            with open(os.path.join(directory, "speech.txt"), encoding="utf-8",
                      errors="replace") as speech:
                return speech.read().splitlines()
        except OSError:
            return None
    finally:
        shutil.rmtree(directory, ignore_errors=True)


def prompts_in_transcript(lines):
    """(kind, name) of each sound, character and word a transcript asks for."""
    for line in lines:
        for mark in (" [skipped]", " [cut]"):
            if line.endswith(mark):
                line = line[:-len(mark)]
        kind, _, rest = line.partition(" ")
        if kind in ("sound", "char") and rest:
            yield kind, rest
        elif kind == "words":
            for word in rest.split():
                yield "words", word


def kept_transcripts(path):
    """The cases of a file the scenario runner kept: name -> lines, or None
    for a case that wrote no transcript."""
    cases, name = {}, None
    with open(path, encoding="utf-8", errors="replace") as kept:
        for line in kept.read().splitlines():
            if line.startswith("== "):
                name = line[3:]
                cases.setdefault(name, [])  # two cases of one name: their lines together
            elif name is not None and line == "!! no transcript":
                cases[name] = None
            elif name is not None and cases[name] is not None:
                cases[name].append(line)
    return cases


def scenario_transcripts(options, scenarios, problems):
    """(where, lines) of every scenario case: read from the files the
    scenario tests kept, or from runs of the program."""
    if options.transcripts:
        for name in sorted({where.split(": ", 1)[0] for where, _ in scenarios}):
            path = os.path.join(options.transcripts, name[:-len(".scn")] + ".speech")
            if not os.path.exists(path):
                problems.append(f"{path}: no transcripts kept (the scenario tests write them)")
                continue
            kept = kept_transcripts(path)
            for where, case in scenarios:
                if where.split(": ", 1)[0] == name:
                    if case["name"] not in kept:
                        problems.append(f"{where}: not in {path}")
                    yield where, kept.get(case["name"])
        return
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        program = os.path.abspath(options.program)
        pack = os.path.abspath(options.pack)
        runs = {pool.submit(transcript, program, pack, case): where
                for where, case in scenarios}
        for run in concurrent.futures.as_completed(runs):
            yield runs[run], run.result()


def check_completeness(options):
    problems = []
    wanted = {}  # (kind, name) -> where it was found

    for sources in options.sources:
        for key, where in keys_in_sources(sources).items():
            wanted.setdefault(("sound", key), where)
    from_sources = len(wanted)

    scenarios = []
    if os.path.isdir(options.scenarios):
        for name in sorted(os.listdir(options.scenarios)):
            if name.endswith(".scn"):
                for case in scenario_cases(os.path.join(options.scenarios, name)):
                    scenarios.append((f"{name}: {case['name']}", case))
    silent = []
    for where, lines in scenario_transcripts(options, scenarios, problems):
        if lines is None:
            silent.append(where)
            continue
        for prompt in prompts_in_transcript(lines):
            wanted.setdefault(prompt, where)
    if scenarios and len(silent) == len(scenarios):
        problems.append("no scenario case wrote a speech transcript")

    for (kind, name), where in sorted(wanted.items()):
        if kind == "char" and not name.isdigit():
            problems.append(f"{where}: a character line without a code: char {name}")
        elif not prompt_file(options.pack, kind, name):
            shown = word_file(name) if kind == "words" else name
            problems.append(f"missing {kind} {shown} (asked for by {where})")

    print(f"{from_sources} sound keys in the sources, {len(scenarios)} scenario cases "
          f"({len(silent)} without a transcript), {len(wanted)} distinct prompts checked")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("check", choices=("files", "fidelity", "completeness"))
    parser.add_argument("--pack", required=True)
    parser.add_argument("--tables", required=True)
    parser.add_argument("--program")
    parser.add_argument("--sources", action="append",
                        help="a folder of sources, or a generated source; more than once")
    parser.add_argument("--scenarios")
    parser.add_argument("--transcripts",
                        help="the folder where the scenario tests kept their transcripts")
    options = parser.parse_args()
    if options.check == "completeness" and not ((options.program or options.transcripts)
                                                and options.sources and options.scenarios):
        parser.error("completeness needs --program or --transcripts, --sources and --scenarios")
    problems = {"files": check_files, "fidelity": check_fidelity,
                "completeness": check_completeness}[options.check](options)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
