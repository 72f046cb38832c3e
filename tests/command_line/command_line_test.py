#!/usr/bin/env python3
"""The command line in the user's language and to standard output: --help
and the messages on standard error in Portuguese under a Portuguese locale
and in English otherwise, every marked message translated in po/pt_BR.po,
and "-" naming standard output for --screen, --speech and --state without
losing what was written before it.

Usage: command_line_test.py QUIPULAR SOURCE_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile

from harness import check, failures


def portuguese_locale(top):
    """The environment that makes pt_BR.UTF-8 a locale: the system's when it
    has one, else one made with localedef in a folder of the test's own."""
    listed = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    if any(name.lower().replace("-", "") in ("pt_br.utf8",) for name in listed):
        return {}
    path = os.path.join(top, "locales")
    os.makedirs(path)
    made = subprocess.run(["localedef", "-i", "pt_BR", "-f", "UTF-8",
                           os.path.join(path, "pt_BR.UTF-8")], capture_output=True, text=True)
    if not os.path.isdir(os.path.join(path, "pt_BR.UTF-8")):
        print("SKIPPED: no pt_BR.UTF-8 locale and localedef cannot make one "
              "(install the locales package): %s" % made.stderr.strip())
        sys.exit(77)
    return {"LOCPATH": path}


def run(quipular, args, env, cwd):
    return subprocess.run([quipular] + args, capture_output=True, text=True, env=env, cwd=cwd,
                          timeout=60)


def languages(quipular, top):
    base = {k: v for k, v in os.environ.items()
            if not k.startswith("LC_") and k not in ("LANG", "LANGUAGE")}
    portuguese = dict(base, LANG="pt_BR.UTF-8", **portuguese_locale(top))
    english = dict(base, LANG="C")
    # (arguments, exit code, English text, Portuguese text, where)
    cases = [
        (["--help"], 0, "Usage: quipular", "Uso: quipular", "stdout"),
        (["--help"], 0, "Exit codes:", "Códigos de saída:", "stdout"),
        (["--bogus"], 2, "unknown option --bogus", "opção desconhecida --bogus", "stderr"),
        (["--keys-file", os.path.join(top, "missing")], 2,
         "cannot read the keys file", "não foi possível ler o arquivo de teclas", "stderr"),
        # The system's own reason comes in the same language, accents whole.
        (["--keys-file", os.path.join(top, "missing")], 2,
         "No such file or directory", "Arquivo ou diretório inexistente", "stderr"),
        (["--keys", "<Ctrl+Foo>"], 2, "unknown key <Ctrl+Foo>", "tecla desconhecida <Ctrl+Foo>",
         "stderr"),
        (["--screen"], 2, "--screen needs a value", "--screen precisa de um valor", "stderr"),
    ]
    for args, code, en, pt, where in cases:
        for env, expected, other, name in ((english, en, pt, "LANG=C"),
                                           (portuguese, pt, en, "LANG=pt_BR.UTF-8")):
            result = run(quipular, args, env, top)
            text = getattr(result, where)
            check(result.returncode == code, "%s %s: exit code %d" % (name, args, result.returncode))
            check(expected in text and other not in text,
                  "%s %s: %r not on %s:\n%s" % (name, args, expected, where, text))
    # LANGUAGE chooses among the catalogues of a locale that is not C.
    result = run(quipular, ["--help"], dict(portuguese, LANGUAGE="en"), top)
    check(result.stdout.startswith("Usage:"), "LANGUAGE=en did not give English --help")


def catalogue(source, top):
    """Every message marked in the sources has a translation."""
    sources = []
    for dirpath, _, names in os.walk(os.path.join(source, "src")):
        sources += [os.path.join(dirpath, n) for n in names if n.endswith((".cpp", ".h"))]
    pot = os.path.join(top, "quipular.pot")
    made = subprocess.run(["xgettext", "--language=C++", "--keyword=_", "--keyword=N_",
                           "--from-code=UTF-8", "-o", pot] + sorted(sources),
                          capture_output=True, text=True)
    if not check(made.returncode == 0, "xgettext: " + made.stderr):
        return
    po = os.path.join(source, "po", "pt_BR.po")
    compared = subprocess.run(["msgcmp", po, pot], capture_output=True, text=True)
    check(compared.returncode == 0,
          "po/pt_BR.po lacks messages (run scripts/update-po):\n" + compared.stderr)
    untranslated = subprocess.run(["msgattrib", "--untranslated", "--only-fuzzy", po],
                                  capture_output=True, text=True).stdout
    check("msgid" not in untranslated, "fuzzy messages in po/pt_BR.po:\n" + untranslated)
    empty = subprocess.run(["msgattrib", "--untranslated", po], capture_output=True,
                           text=True).stdout
    check(empty.count("msgid") <= 1, "untranslated messages in po/pt_BR.po:\n" + empty)


def standard_output(quipular, top):
    """--screen - --speech - --state - > out 2>&1 keeps what stood before."""
    out = os.path.join(top, "out.txt")
    with open(out, "w") as f:
        f.write("written before\n")
    with open(out, "a") as f:
        result = subprocess.run(
            [quipular, "--keys", "5<Enter>3<Enter>+<Enter>", "--screen", "-", "--speech", "-",
             "--state", "-"], stdout=f, stderr=subprocess.STDOUT, cwd=top,
            env=dict(os.environ, LANG="C"), timeout=60)
    with open(out, encoding="utf-8") as f:
        text = f.read()
    check(result.returncode == 3, "--screen -: exit code %d" % result.returncode)
    check(text.startswith("written before\n"), "--screen - truncated the file:\n" + text[:300])
    screen, speech, state = (text.find("X = 8.00"), text.find("\nsound "),
                             text.find("\nX = 8"))
    check(0 < screen < speech < state,
          "the screen, the speech and the state are not there in that order:\n" + text)
    check(not os.path.exists(os.path.join(top, "-")), "a file named - was made")


def main():
    quipular, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    top = tempfile.mkdtemp(prefix="quipular-command-line-")
    try:
        catalogue(source, top)
        standard_output(quipular, top)
        languages(quipular, top)
    finally:
        shutil.rmtree(top, ignore_errors=True)
    return 1 if failures else 0


sys.exit(main())
