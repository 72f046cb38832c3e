#!/usr/bin/env python3
"""Hears the calculator through SDL's disk audio driver: 5 Enter 3 Enter +
Enter is played as the greeting, the prompts and the numbers, and what reaches
the device (16-bit, as the pack is) is not silent and as long as the prompts
the transcript names.

Usage: disk_capture_test.py QUIPULAR VOICE_PACK
"""
import array
import os
import subprocess
import sys
import tempfile

# Files of a words line: "_" and the word cut to 8 characters, as the
# program names them.
def word_file(word):
    word = word.replace("ã", "a").replace("õ", "o")
    if word == "dezessete":
        word = "dezeset"
    return ("_" + word)[:8]


def find_no_case(directory, name):
    for entry in os.listdir(directory):
        if entry.lower() == name.lower():
            return os.path.join(directory, entry)
    raise FileNotFoundError(os.path.join(directory, name))


def samples(path):
    """Bytes of 16-bit samples a prompt holds (FLAC, or a plain wave)."""
    with open(path, "rb") as file:
        kind = "flac" if file.read(4) == b"fLaC" else "wav"
    decoded = subprocess.run(["sox", "-t", kind, path, "-t", "raw", "-b", "16", "-"],
                             check=True, capture_output=True).stdout
    return len(decoded)


def main():
    binary, pack = sys.argv[1], sys.argv[2]
    som = os.path.join(pack, "orbela", "som")
    with tempfile.TemporaryDirectory() as work:
        capture = os.path.join(work, "capture.raw")
        speech = os.path.join(work, "speech.txt")
        env = dict(os.environ, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=capture,
                   QUIPULAR_AUDIO="sdl", VESTRA_WINDIR=os.path.join(pack, "windows"),
                   VESTRA_ROOT=pack, HOME=work)
        result = subprocess.run([binary, "--headless", "--keys", "5<Enter>3<Enter>+<Enter>",
                                 "--speech", speech], cwd=work, env=env, timeout=120,
                                capture_output=True)
        if result.returncode != 3:
            print("exit code", result.returncode, result.stderr.decode())
            return 1
        lines = open(speech, encoding="utf-8").read().splitlines()
        expected = 0
        for line in lines:
            kind, _, rest = line.partition(" ")
            if kind == "sound":
                expected += samples(find_no_case(os.path.join(som, "quipular"), rest + ".wav"))
            elif kind == "char":
                expected += samples(find_no_case(os.path.join(som, "letras"), "_" + rest + ".wav"))
            elif kind == "words":
                for word in rest.split():
                    expected += samples(find_no_case(os.path.join(som, "letras"),
                                                     word_file(word) + ".wav"))
        heard = [l for l in lines if l.split(" ")[0] in ("sound", "char", "words")]
        want = ["sound DOSALUDOINI", "char 53", "words cinco", "char 51", "words tres",
                "sound DOmas", "sound DOIGUAL", "words oito"]
        if [l for l in heard if l != "sound DOOPERANDO"] != want:
            print("prompts played:", heard)
            return 1
        data = open(capture, "rb").read()
        # The pack's 16-bit samples reach the device as they are; sound is
        # what lies above -42 dB (the speech level is -23 dB).
        levels = array.array("h", data[:len(data) // 2 * 2])
        loud = 2 * sum(1 for x in levels if abs(x) > 256)
        print(f"captured {len(data)} bytes, {loud} not silent; the prompts hold {expected}")
        if loud < expected // 4:
            print("the capture is nearly silent")
            return 1
        # The device plays in real time; between prompts it plays silence for
        # as long as the program takes to start the next one. (Bytes: the
        # pack is 16-bit.)
        if not expected * 0.9 <= len(data) <= expected * 1.35 + 44100:
            print("the capture's length does not match the prompts played")
            return 1
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
