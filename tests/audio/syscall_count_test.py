#!/usr/bin/env python3
"""Counts the program's system calls on a 10,000-key headless script of
mixed arithmetic (strace -f -c): every key is echoed and every result said
from the voice pack, and prompts said before come from memory, so the run
makes at most 8 system calls a key.

Usage: syscall_count_test.py QUIPULAR VOICE_PACK
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

KEYS = 10000
MOST_A_KEY = 8


def script():
    """Numbers of one to four digits with Enter, and an operator with Enter
    after about every other one; the stack keeps four levels, so nothing
    runs dry."""
    rng = random.Random(7)
    keys, count = [], 0
    while count < KEYS:
        number = str(rng.randint(1, 9999))
        keys.append(number + "<Enter>")
        count += len(number) + 1
        if rng.random() < 0.5:
            keys.append(rng.choice("+-*/") + "<Enter>")
            count += 2
    return "".join(keys), count


def total_calls(summary):
    """The calls of strace -c's "total" line."""
    for line in summary.splitlines():
        fields = line.split()
        if fields and fields[-1] == "total":
            return int(fields[3])
    raise ValueError("no total in strace's summary:\n" + summary)


def main():
    binary, pack = sys.argv[1], sys.argv[2]
    if not shutil.which("strace"):
        print("SKIPPED: strace is not installed")
        return 77
    with tempfile.TemporaryDirectory(prefix="quipular-syscalls-") as work:
        keys, count = script()
        with open(os.path.join(work, "keys.txt"), "w", encoding="ascii") as file:
            file.write(keys)
        env = dict(os.environ, VESTRA_WINDIR=os.path.join(pack, "windows"), VESTRA_ROOT=pack,
                   HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"),
                   QUIPULAR_AUDIO="record", QUIPULAR_BRAILLE="off")
        # The leak check of a sanitized build cannot run under a tracer.
        env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
        summary = os.path.join(work, "strace.txt")
        result = subprocess.run(["strace", "-f", "-c", "-o", summary, binary, "--headless",
                                 "--keys-file", "keys.txt", "--speech", "speech.txt"],
                                cwd=work, env=env, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=600)
        if result.returncode != 3:
            print("exit code", result.returncode, result.stderr.decode(errors="replace"))
            return 1
        with open(os.path.join(work, "speech.txt"), encoding="utf-8") as speech:
            said = [line for line in speech if line.startswith(("sound", "char", "words"))]
        with open(summary, encoding="utf-8") as file:
            text = file.read()
        calls = total_calls(text)
        print(text)
        print(f"{count} keys, {len(said)} prompts, {calls} system calls: "
              f"{calls / count:.2f} a key (at most {MOST_A_KEY})")
        if len(said) < count:
            print("fewer prompts than keys: the script did not run as meant")
            return 1
        if calls > MOST_A_KEY * count:
            return 1
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
