#!/usr/bin/env python3
# A screen reader on a Linux virtual console: BRLTTY reading the console
# (screen driver lx, no Braille display) speaks to a speech-dispatcher of the
# test's own, whose generic module writes every text to a file. Quipular runs
# in --lines on a free virtual console; the screen reader must speak its
# result and its error. The console shown before is shown again at the end.
# Skips (exit 77) where there is no virtual console to open, or brltty with
# its lx and sd drivers, openvt or speech-dispatcher is missing.
#
# Usage: screen_reader_test.py QUIPULAR VOICE_PACK
import array
import fcntl
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import termios
import time

from harness import check, failures

SKIP = 77
VT_OPENQRY = 0x5600


def skip(why):
    print("SKIPPED: " + why)
    sys.exit(SKIP)


def free_console():
    """The number of a virtual console nobody uses, or None (with why)."""
    try:
        fd = os.open("/dev/tty0", os.O_RDWR | os.O_NOCTTY)
    except OSError as e:
        return None, "no virtual console can be opened (/dev/tty0: %s)" % e.strerror
    try:
        number = array.array("i", [0])
        fcntl.ioctl(fd, VT_OPENQRY, number)
        return (number[0], None) if number[0] > 0 else (None, "no free virtual console")
    except OSError as e:
        return None, "the virtual consoles cannot be asked for a free one (%s)" % e.strerror
    finally:
        os.close(fd)


for tool in ("brltty", "openvt", "chvt", "speech-dispatcher"):
    if not shutil.which(tool):
        skip(tool + " is missing")
for driver in ("xlx", "ssd"):
    if not glob.glob("/lib/brltty/libbrltty%s.so" % driver) + \
            glob.glob("/usr/lib/*/brltty/libbrltty%s.so" % driver):
        skip("BRLTTY's %s driver is missing" % ("lx screen" if driver == "xlx" else "sd speech"))
console, why = free_console()
if console is None:
    skip(why)

quipular = os.path.abspath(sys.argv[1])
pack = os.path.abspath(sys.argv[2])
top = tempfile.mkdtemp(prefix="quipular-reader-")
said = os.path.join(top, "said.txt")
sock = os.path.join(top, "speechd.sock")
env = dict(os.environ, HOME=os.path.join(top, "home"), XDG_RUNTIME_DIR=os.path.join(top, "run"),
           SPEECHD_ADDRESS="unix_socket:" + sock, QUIPULAR_AUDIO="none", QUIPULAR_BRAILLE="off",
           VESTRA_WINDIR=os.path.join(pack, "windows"), VESTRA_ROOT=pack)
for d in (env["HOME"], env["XDG_RUNTIME_DIR"], os.path.join(top, "conf", "modules"),
          os.path.join(top, "writable"), os.path.join(top, "updatable")):
    os.makedirs(d)
with open(os.path.join(env["HOME"], ".libao"), "w") as f:
    f.write("default_driver=null\n")
with open(os.path.join(top, "conf", "speechd.conf"), "w") as f:
    f.write('AudioOutputMethod "libao"\nAddModule "file" "sd_generic" "file.conf"\n'
            'DefaultModule "file"\n')
with open(os.path.join(top, "conf", "modules", "file.conf"), "w") as f:
    f.write('GenericExecuteSynth "printf \'%%s\\\\n\' \\\'$DATA\\\' >> %s"\n' % said)
    f.write('AddVoice "pt" "male1" "pt"\nDefaultVoice "pt"\nGenericLanguage "pt" "pt" "utf-8"\n')


def spoken():
    try:
        with open(said, encoding="utf-8", errors="replace") as f:
            return f.read()
    except FileNotFoundError:
        return ""


def wait_for(predicate, what, timeout=30):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.1)
    return check(False, "timed out waiting for " + what)


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=10)


def main():
    with open("/sys/class/tty/tty0/active") as f:
        shown = f.read().strip()
    server = subprocess.Popen(["speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", sock,
                               "-C", os.path.join(top, "conf"), "-L", top],
                              env=env, cwd=top, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    reader = None
    pid_file, done = os.path.join(top, "pid"), os.path.join(top, "done")
    try:
        if not wait_for(lambda: os.path.exists(sock), "the speech-dispatcher socket"):
            return 1
        reader = subprocess.Popen(
            ["brltty", "-n", "-N", "-b", "no", "-x", "lx", "-s", "sd", "-f", "/dev/null",
             "-F", "/dev/null", "-P", os.path.join(top, "brltty.pid"),
             "-W", os.path.join(top, "writable"), "-U", os.path.join(top, "updatable"), "-Z"],
            env=env, cwd=top, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for(lambda: "BRLTTY" in spoken(), "the screen reader's first words"):
            return 1
        subprocess.run(["openvt", "-c", str(console), "-s", "-f", "--", "sh", "-c",
                        "echo $$ > %s; %s --lines 2>%s/err; echo $? > %s"
                        % (pid_file, quipular, top, done)],
                       env=env, cwd=top, check=True)
        # Keys typed at the console, each group once the screen reader has
        # spoken what the one before brought.
        tty = os.open("/dev/tty%d" % console, os.O_RDWR | os.O_NOCTTY)
        try:
            for keys, wanted in (("", "Operando"), ("5\r", "X = 5.00"), ("3\r", "X = 3.00"),
                                 ("+\r", "X = 8.00"), ("1\r0\r/\r", "ERRO 0"),
                                 ("\x1b", "CONFIRMA SAIDA"), ("s", "QUER SALVAR"), ("n", None)):
                for key in keys:
                    fcntl.ioctl(tty, termios.TIOCSTI, key.encode())
                if wanted and not wait_for(
                        lambda: any(wanted in line for line in spoken().splitlines()),
                        "%r spoken by the screen reader (it spoke %r)" % (wanted, spoken()[-300:])):
                    break
        finally:
            os.close(tty)
        if wait_for(lambda: os.path.exists(done), "the end of the program on the console"):
            with open(done) as f:
                check(f.read().strip() == "0", "the program's exit code on the console")
    finally:
        # A program still running (a key that never came) ends as after a
        # hang-up: the shell's child.
        if os.path.exists(pid_file) and not os.path.exists(done):
            with open(pid_file) as f:
                shell = int(f.read())
            children = subprocess.run(["ps", "-o", "pid=", "--ppid", str(shell)],
                                      capture_output=True, text=True).stdout.split()
            for child in children:
                os.kill(int(child), signal.SIGTERM)
            wait_for(lambda: os.path.exists(done), "the end of the program on the console", 10)
        subprocess.run(["chvt", shown.replace("tty", "")], check=False)
        subprocess.run(["deallocvt", str(console)], check=False, capture_output=True)
        if reader:
            stop(reader)
        stop(server)
        shutil.rmtree(top, ignore_errors=True)
    return 1 if failures else 0


sys.exit(main())
