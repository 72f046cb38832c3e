#!/usr/bin/env python3
"""Agreement of the calculator with implementations it does not share code with.

Generates problems from a fixed seed, types them into the calculator through
--keys, reads the answers back from --state, and compares them with qalc (the
time value of money: PMT, PV, FV, n and i in END and BEG) and with Python's
statistics and datetime modules (means, standard deviations, correlation,
linear estimates, actual day counts and dates). Each run keeps its answers in
the storage registers (STO), so that many problems share one process; DATE,
which leaves its date in no register, is read from what it says.

Besides random problems it tries data that cancel in plain double sums
(every x equal, x offset by 1e8, 0.1 repeated), where Python's statistics
works in exact fractions, and CALCULO n on sinking funds, balloon loans and
problems with no interest. qalc's nper divides by the rate, so at i = 0 it
gives 0/0; there qalc works out the limit -(PV + FV)/PMT instead.

A disagreement passes only when a rule of the calculator accounts for it:
a problem with no finite count of periods (refused by CALCULO n, where qalc
has no number either), a count of periods that lies within rounding of a
whole number, a rate the iteration from 1 percent does not reach in its 101
steps, or data Python refuses (every x equal: no line, no correlation),
which the calculator refuses with error 2. Any other disagreement fails the
test.

Usage: agreement_test.py QUIPULAR_BINARY [VOICE_PACK]
"""

import concurrent.futures
import decimal
import math
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
from datetime import date, timedelta
from fractions import Fraction

SEED = 20261209
SENTINEL = 987654321  # pushed before each computation: still X means refused
TVM_TOLERANCE = 1e-9
RATE_TOLERANCE = 1e-7
PYTHON_TOLERANCE = 1e-9

# ---------------------------------------------------------------- the calculator


def register_keys(index):
    """The keys that name storage register `index` (0 to 99) after STO."""
    group, place = divmod(index, 10)
    digit = "0" if place == 9 else str(place + 1)
    if group == 0:
        return digit
    if group == 1:
        return "." + digit
    return "abcdefgh"[group - 2] + digit


def state_name(index):
    return "R" + register_keys(index)


class Runner:
    def __init__(self, binary, pack, workdir):
        self.binary = binary
        self.pack = pack
        self.workdir = workdir
        self.count = 0

    def environment(self, directory):
        env = dict(os.environ)
        env["HOME"] = directory
        env["XDG_CONFIG_HOME"] = os.path.join(directory, "config")
        windows = os.path.join(directory, "windows")
        os.makedirs(windows, exist_ok=True)
        ini = os.path.join(self.pack, "windows", "VESTRA.INI") if self.pack else ""
        if ini and os.path.exists(ini):
            shutil.copy(ini, os.path.join(windows, "VESTRA.INI"))
            env["VESTRA_ROOT"] = self.pack
        else:
            # No recordings: a voice with an empty diphone database.
            voice = os.path.join(directory, "voice")
            os.makedirs(voice, exist_ok=True)
            for name in ("t.IND", "t.DIF", "regras.rgr", "portug.exc"):
                open(os.path.join(voice, name), "w").close()
            with open(os.path.join(windows, "VESTRA.INI"), "w") as f:
                f.write(f"[SINTETIZADOR]\nDIFONES3=t\n[TRADUTOR]\nDIRDIFONES={voice}\ndirLetras={voice}\n")
        env["VESTRA_WINDIR"] = windows
        return env

    def run(self, keys, log=None, speech=None):
        """Types the keys; returns the state dump as a dict of name -> text.
        With a list as `log` or `speech`, the lines of the calculation log or
        of the speech transcript are added to it."""
        directory = tempfile.mkdtemp(dir=self.workdir)
        keys_file = os.path.join(directory, "keys.txt")
        with open(keys_file, "w") as f:
            f.write(keys)
        state_file = os.path.join(directory, "state.txt")
        speech_file = os.path.join(directory, "speech.txt")
        result = subprocess.run(
            [self.binary, "--headless", "--keys-file", keys_file, "--state", state_file]
            + (["--speech", speech_file] if speech is not None else []),
            cwd=directory, env=self.environment(directory), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=120)
        if result.returncode != 3:
            raise RuntimeError(f"exit code {result.returncode}: {result.stderr.decode()[-2000:]}")
        state = {}
        with open(state_file) as f:
            for line in f:
                name, _, value = line.rstrip("\n").partition(" = ")
                state[name] = value
        if log is not None:
            with open(os.path.join(directory, "Calculos_Quipular.txt"), encoding="latin-1") as f:
                log.extend(line.rstrip("\r\n") for line in f)
        if speech is not None:
            with open(speech_file, encoding="utf-8") as f:
                speech.extend(line.rstrip("\n") for line in f)
        shutil.rmtree(directory, ignore_errors=True)
        return state


def register_value(state, index):
    return float(state.get(state_name(index), "0"))


def typed(value, decimals):
    """A number as typed: at most nine characters, a leading minus as the sign."""
    text = f"{value:.{decimals}f}"
    if "." in text:
        text = text.rstrip("0").rstrip(".")
    assert len(text) <= 9, text
    return text


def fit(value):
    """The value rounded to the cents, or coarser, so that it can be typed; None
    when even its whole part is too long."""
    for decimals in (2, 1, 0):
        v = round(value, decimals)
        if len(typed(v, decimals) if len(f"{v:.{decimals}f}") <= 9 else "x" * 10) <= 9:
            return v
    return None


# ---------------------------------------------------------------- qalc


def qalc_number(text):
    text = text.strip().replace("\u2212", "-").replace(" ", "").replace("E", "e")
    try:
        return float(text)
    except ValueError:
        return None  # "undefined", or an expression qalc could not work out


def qalc_values(expressions, home):
    """The expressions worked by qalc to 30 digits, one process for the lot;
    one process each when the lot does not answer line for line in time."""
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"))
    path = tempfile.mktemp(dir=home, suffix=".txt")
    with open(path, "w") as f:
        f.write("\n".join(expressions) + "\n")
    try:
        out = subprocess.run(["qalc", "-t", "-set", "precision 30", "-f", path], env=env,
                             stdin=subprocess.DEVNULL, capture_output=True, text=True,
                             timeout=30)
        lines = [line for line in out.stdout.splitlines() if line.strip()]
        if len(lines) == len(expressions):
            return [qalc_number(line) for line in lines]
    except subprocess.TimeoutExpired:
        pass
    values = []
    for expression in expressions:
        try:
            out = subprocess.run(["qalc", "-t", "-set", "precision 30", expression], env=env,
                                 stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                 timeout=30)
            values.append(qalc_number(out.stdout))
        except subprocess.TimeoutExpired:
            values.append(None)
    return values


# ---------------------------------------------------------------- TVM problems


def rule_rate_converges(p):
    """The rate iteration as the calculator's rules state it (Newton from 1
    percent, 101 steps, whole periods): whether its last step lies on a root."""
    n, pv, pmt, fv, s = p["n"], p["pv"], p["pmt"], p["fv"], p["begin"]
    if pmt == 0 and n < 0:
        return False
    i = 0.01
    try:
        for _ in range(101):
            q = 1 + i
            disc = q ** -n
            a = (1 + i * s) * (1 - disc) / i
            residual = pv + pmt * a + fv * disc
            if residual == 0:
                break
            f = (1 - disc) * s + n * (1 + i * s) * disc / q
            slope = (pmt / i) * (f - a) - n * fv * disc / q
            change = residual / slope
            if abs(change) <= 1e-18:
                break
            i -= change
            if not math.isfinite(i):
                return False
        q = 1 + i
        disc = q ** -n
        a = (1 + i * s) * (1 - disc) / i
        residual = pv + pmt * a + fv * disc
        scale = abs(pv) + abs(pmt * a) + abs(fv * disc)
        return i > -1 and abs(residual) <= 1e-8 * scale
    except (ZeroDivisionError, OverflowError, ValueError, TypeError):
        return False


def is_root(p, percent):
    i = percent / 100
    q = 1 + i
    disc = q ** -p["n"]
    a = (1 + i * p["begin"]) * (1 - disc) / i
    residual = p["pv"] + p["pmt"] * a + p["fv"] * disc
    return abs(residual) <= 1e-8 * (abs(p["pv"]) + abs(p["pmt"] * a) + abs(p["fv"] * disc))


def payment_for(n, i, pv, fv, begin):
    q = (1 + i) ** n
    return -(pv * q + fv) * i / ((1 + i * begin) * (q - 1))


def make_tvm_problems(rng, count):
    problems = []
    kinds = ["M", "P", "V", "N", "I"]
    while len(problems) < count:
        k = len(problems)
        unknown = kinds[k % len(kinds)]
        begin = (k // len(kinds)) % 2
        n = rng.randint(6, 480)
        rate = round(rng.uniform(0.05, 3.0), 4)  # percent per period
        i = rate / 100
        savings = rng.random() >= 0.6
        if savings:  # shorter and at lower rates, so that the amounts can be typed
            n = rng.randint(6, 240)
            rate = round(rng.uniform(0.05, 1.5), 4)
            i = rate / 100
        if not savings:  # a loan: received now, paid back
            pv = fit(rng.uniform(1000, 99999.99))
            fv = 0.0 if rng.random() < 0.6 else fit(-rng.uniform(100, pv / 2))
            pmt = fit(payment_for(n, i, pv, fv, begin))
        else:  # savings: deposits that grow to an amount
            pv = fit(-rng.uniform(0, 20000))
            pmt = fit(-rng.uniform(10, 5000))
            q = (1 + i) ** n
            fv = fit(-(pv * q + pmt * (1 + i * begin) * (q - 1) / i))
        if None in (pv, pmt, fv) or abs(pmt) < 0.01:
            continue
        problems.append({"unknown": unknown, "begin": begin, "n": n, "rate": rate,
                         "pv": pv, "pmt": pmt, "fv": fv})
    return problems


def make_period_problems(rng, count):
    """CALCULO n on sinking funds (PV = 0), balloon loans (a final amount
    still owed) and problems with no interest, END and BEG; a few of each
    kind whose payment only meets the interest have no finite count."""
    problems = []
    while len(problems) < count:
        k = len(problems)
        kind = ("sinking fund", "balloon loan", "no interest")[k % 3]
        begin = (k // 3) % 2
        rate = 0.0 if kind == "no interest" else round(rng.uniform(0.05, 3.0), 4)
        i = rate / 100
        if kind == "sinking fund":
            pv, pmt, fv = 0.0, fit(-rng.uniform(10, 5000)), fit(rng.uniform(1000, 999999))
        elif kind == "balloon loan":
            pv = fit(rng.uniform(1000, 99999.99))
            fv = fit(-rng.uniform(0.05, 0.6) * pv)
            pmt = fit(-pv * i * rng.uniform(1.05, 6))
            if k % 15 == 1:  # the payment is the interest: the debt never falls
                pv, rate = 10000.0, 1.0
                pmt, i = -100.0, 0.01
        else:
            pv = fit(rng.uniform(1000, 99999.99)) if k % 2 else fit(-rng.uniform(0, 5000))
            pmt = fit(-rng.uniform(10, 5000))
            fv = fit(-rng.uniform(0, 0.7) * pv) if pv > 0 else fit(rng.uniform(1000, 99999))
            if k % 12 == 2:
                pmt = 0.0  # no payment and no interest: nothing moves
        if None in (pv, pmt, fv):
            continue
        problems.append({"unknown": "N", "begin": begin, "n": 0, "rate": rate,
                         "pv": pv, "pmt": pmt, "fv": fv, "kind": kind})
    return problems


def finite_periods(p):
    """Whether the equation has a finite count of periods: i above -100
    percent, and with interest (P + PV i)/(P - FV i) a positive number, P the
    payment grown by the payment mode; with none, a payment."""
    i = p["rate"] / 100
    if i <= -1:
        return False
    if i == 0:
        return p["pmt"] != 0
    payment = (1 + i * p["begin"]) * p["pmt"]
    denominator = payment + p["pv"] * i
    return denominator != 0 and (payment - p["fv"] * i) / denominator > 0


def tvm_keys(p, register):
    keys = ["<Ctrl+A>"]
    if p["begin"]:
        keys.append("<Ctrl+M>")
    fields = {"N": ("n", str(p["n"])), "I": ("i", typed(p["rate"], 4)),
              "P": ("p", typed(p["pv"], 2)), "M": ("m", typed(p["pmt"], 2)),
              "V": ("v", typed(p["fv"], 2))}
    for token, (key, text) in fields.items():
        if token != p["unknown"]:
            keys.append(text + key)
    keys.append(f"{SENTINEL}<Enter>{p['unknown']}<Enter>s{register_keys(register)}")
    return " ".join(keys)


def exact(value):
    """The exact decimal value of a double, so that qalc works on what the
    calculator holds rather than on the decimal that was typed."""
    return str(decimal.Decimal(value))


def qalc_expression(p):
    rate = exact(p["rate"] / 100)
    n, pv, pmt, fv, t = p["n"], exact(p["pv"]), exact(p["pmt"]), exact(p["fv"]), p["begin"]
    if p["unknown"] == "N" and p["rate"] == 0:
        return f"-({pv} + {fv}) / ({pmt})"
    return {"M": f"pmt({rate}; {n}; {pv}; {fv}; {t})",
            "P": f"pv({rate}; {n}; {pmt}; {fv}; {t})",
            "V": f"fv({rate}; {n}; {pmt}; {pv}; {t})",
            "N": f"nper({rate}; {pmt}; {pv}; {fv}; {t})",
            "I": f"rate({n}; {pmt}; {pv}; {fv}; {t}; 0.01)"}[p["unknown"]]


def judge_tvm(p, ours, theirs):
    """'agree', an explanation of the disagreement, or None when unexplained."""
    refused = ours == SENTINEL
    u = p["unknown"]
    if u == "N":
        if refused:
            return "no finite count of periods" \
                if not finite_periods(p) and (theirs is None or not math.isfinite(theirs)) \
                else None
        if theirs is None:
            return None
        if abs(theirs - round(theirs)) <= 1e-9 * max(1, abs(theirs)):
            return "agree" if ours in (round(theirs), round(theirs) + 1) else None
        return "agree" if ours == math.floor(theirs) + 1 else None
    if u == "I":
        problem = p
        if refused:
            return "the rate iteration from 1 percent reaches no root" \
                if not rule_rate_converges(problem) else None
        if theirs is None:
            return None
        if abs(ours - theirs * 100) <= RATE_TOLERANCE * abs(theirs * 100):
            return "agree"
        return "another root of the same equation" if is_root(problem, ours) else None
    if refused or theirs is None:
        return None
    return "agree" if abs(ours - theirs) <= TVM_TOLERANCE * max(abs(theirs), 1e-300) else None


# ---------------------------------------------------------------- statistics


def make_samples(rng, count):
    samples = []
    for _ in range(count):
        size = rng.randint(3, 12)
        xs = [round(rng.uniform(-500, 1500), 2) for _ in range(size)]
        slope = rng.uniform(-3, 3)
        ys = [round(slope * x + rng.uniform(-400, 400), 2) for x in xs]
        samples.append({"x": xs, "y": ys, "x0": round(rng.uniform(-100, 100), 2),
                        "y0": round(rng.uniform(-100, 100), 2)})
    return samples


def ill_conditioned_samples():
    """Data whose spread is small beside their size: sums of x^2 in doubles
    lose it all. Python's statistics works in fractions and is exact here."""
    return [
        {"x": [5, 5, 5, 5], "y": [1, 2, 4, 8], "x0": 6, "y0": 3},
        {"x": [0.1, 0.1, 0.1], "y": [1, 2, 4], "x0": 5, "y0": 3},
        {"x": [0.1] * 9, "y": [0.1] * 8 + [0.2], "x0": 1, "y0": 0.15},
        {"x": [100000001, 100000002, 100000003], "y": [1, 2, 4], "x0": 100000005, "y0": 3},
        {"x": [100000001, 100000002, 100000004, 100000003], "y": [3, 1, 4, 1],
         "x0": 99999999, "y0": 2},
        {"x": [1, 2, 3, 4], "y": [200000001, 200000003, 200000002, 200000005], "x0": 9,
         "y0": 200000000},
    ]


STAT_RESULTS = ["mean x", "mean y", "s x", "s y", "r", "estimate of y", "estimate of x"]


def sample_keys(sample, first):
    keys = ["A"]
    for x, y in zip(sample["x"], sample["y"]):
        keys.append(f"{typed(y, 2)}<Enter>{typed(x, 2)}<Enter>z")
    r = [register_keys(first + k) for k in range(len(STAT_RESULTS))]
    keys.append(f"{SENTINEL}<Enter>q<Enter>s{r[0]} <Up> s{r[1]}")
    keys.append(f"{SENTINEL}<Enter><Ctrl+Q><Enter>s{r[2]} <Up> s{r[3]}")
    keys.append(f"{SENTINEL}<Enter><Ctrl+W><Enter>s{r[4]}")
    keys.append(f"{typed(sample['x0'], 2)}<Enter>W<Enter>s{r[5]}")
    keys.append(f"{typed(sample['y0'], 2)}<Enter>w<Enter>s{r[6]}")
    return " ".join(keys)


def python_statistics(sample):
    """The seven results; None for one Python refuses (a constant input)."""
    xs, ys = sample["x"], sample["y"]

    def attempt(f):
        try:
            return f()
        except (statistics.StatisticsError, ZeroDivisionError):
            return None
    line = attempt(lambda: statistics.linear_regression(xs, ys))
    return [statistics.mean(xs), statistics.mean(ys), statistics.stdev(xs), statistics.stdev(ys),
            attempt(lambda: statistics.correlation(xs, ys)),
            line and line[0] * sample["x0"] + line[1],
            line and attempt(lambda: (sample["y0"] - line[1]) / line[0])]


def exact_statistics(sample):
    """The correlation and the two estimates worked in fractions from the
    doubles the calculator holds; None where the line or r is undefined."""
    xs = [Fraction(x) for x in sample["x"]]
    ys = [Fraction(y) for y in sample["y"]]
    n = len(xs)
    mx, my = sum(xs) / n, sum(ys) / n
    sxx = sum((x - mx) ** 2 for x in xs)
    syy = sum((y - my) ** 2 for y in ys)
    sxy = sum((x - mx) * (y - my) for x, y in zip(xs, ys))
    r = float(sxy) / math.sqrt(float(sxx) * float(syy)) if sxx and syy else None
    y_at = float(my + sxy / sxx * (Fraction(sample["x0"]) - mx)) if sxx else None
    x_at = float(mx + sxx / sxy * (Fraction(sample["y0"]) - my)) if sxx and sxy and syy else None
    return {4: r, 5: y_at, 6: x_at}


def judge_statistic(j, sample, ours, expected):
    """'agree', an explanation, or None when unexplained. A refused estimate
    leaves the number it was asked for in X.

    statistics.correlation and linear_regression work in floats from a
    rounded mean, so where the spread of x is small beside x (0.1 repeated,
    x near 1e8) they carry that rounding: there the answer must agree with
    the same formulas worked in fractions instead."""
    def matches(value):
        if value is None:
            return ours == {5: sample["x0"], 6: sample["y0"]}.get(j, SENTINEL)
        return abs(ours - value) <= PYTHON_TOLERANCE * abs(value)
    if matches(expected):
        return "agree" if expected is not None else "refused, as by Python: a constant input"
    if j in (4, 5, 6) and matches(exact_statistics(sample)[j]):
        return "Python's floats cancel; the exact value agrees"
    return None


# ---------------------------------------------------------------- dates


def random_date(rng, first=1582, last=4046):
    day = date(first, 1, 1) + timedelta(days=rng.randint(0, (date(last, 12, 31) - date(first, 1, 1)).days))
    return day


def date_keys(d, format_key):
    fields = (d.day, d.month, d.year) if format_key == "D" else (d.month, d.day, d.year)
    return f"{format_key}<Enter>" + "".join(f"{v}<Enter>" for v in fields)


def make_day_counts(rng, count):
    problems = []
    for _ in range(count):
        a = random_date(rng)
        b = random_date(rng) if rng.random() < 0.7 else a + timedelta(days=rng.randint(-800, 800))
        if not 1582 <= b.year <= 4046:
            b = a
        problems.append((a, b, rng.choice(["D", "<Ctrl+D>"])))
    return problems


def make_offsets(rng, count):
    problems = []
    for k in range(count):
        start = random_date(rng)
        low = max(-500000, (date(1, 1, 1) - start).days)
        high = (date(9999, 12, 31) - start).days
        offset = rng.randint(low, high) if k % 3 else rng.randint(-2000, 2000)
        problems.append((start, offset, rng.choice(["D", "<Ctrl+D>"])))
    return problems


def offset_keys(start, offset, format_key):
    days = str(abs(offset)) + ("t" if offset < 0 else "")
    return date_keys(start, format_key) + f" {days}<Enter>H<Enter>"


MONTHS = ("Enero", "Febrero", "Marzo", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre",
          "Octubre", "Noviembre", "Diciembre")
WORDS = dict(
    [(w, n) for n, w in enumerate("zero um dois tres quatro cinco seis sete oito nove dez onze doze "
                                  "treze quatorze quinze dezesseis dezessete dezoito dezenove".split())]
    + [(w, 10 * n) for n, w in enumerate("vinte trinta quarenta cinquenta sessenta setenta oitenta "
                                         "noventa".split(), 2)]
    + [("cem", 100), ("cento", 100)]
    + [(w, 100 * n) for n, w in enumerate("duzentos trezentos quatrocentos quinhentos seiscentos "
                                          "setecentos oitocentos novecentos".split(), 2)])


def spoken_number(words):
    """The number a words line says, up to the thousands ("mil e novecentos
    e noventa e sete" is 1997)."""
    total = part = 0
    for word in words.split():
        if word == "mil":
            total, part = total + (part or 1) * 1000, 0
        elif word != "e":
            part += WORDS[word]
    return total + part


def spoken_dates(transcript):
    """The date each DATE said, in order: its day and year words and its
    month, whichever comes first."""
    dates = []
    for at, line in enumerate(transcript):
        if line != "sound DODATE":
            continue
        numbers, month = [], None
        for said in transcript[at + 1:]:
            kind, _, what = said.partition(" ")
            if kind == "words":
                numbers.append(spoken_number(what))
            elif kind == "sound" and what.startswith("DOmes"):
                month = MONTHS.index(what[5:]) + 1
            if month and len(numbers) == 2:
                break
        dates.append(f"{numbers[0]} {month} {numbers[1]}" if month and len(numbers) == 2 else None)
    return dates


# ---------------------------------------------------------------- the test


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    binary = os.path.abspath(sys.argv[1])
    pack = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else ""
    if shutil.which("qalc") is None:
        print("qalc is not installed (Debian package qalc)")
        return 77
    rng = random.Random(SEED)
    workdir = tempfile.mkdtemp(prefix="quipular-agreement-")
    runner = Runner(binary, pack, workdir)
    tvm = make_tvm_problems(rng, 250) + make_period_problems(rng, 90)
    samples = make_samples(rng, 28) + ill_conditioned_samples()
    counts = make_day_counts(rng, 100)
    offsets = make_offsets(rng, 60)

    # Runs: 100 TVM problems, 14 samples, 100 day counts or 30 DATEs each.
    jobs = []
    for start in range(0, len(tvm), 100):
        batch = tvm[start:start + 100]
        jobs.append(("tvm", start, " ".join(tvm_keys(p, k) for k, p in enumerate(batch))))
    per_run = 100 // len(STAT_RESULTS)
    for start in range(0, len(samples), per_run):
        batch = samples[start:start + per_run]
        keys = " ".join(sample_keys(s, k * len(STAT_RESULTS)) for k, s in enumerate(batch))
        jobs.append(("statistics", start, keys))
    for start in range(0, len(counts), 100):
        batch = counts[start:start + 100]
        keys = " ".join(date_keys(a, f) + " " + date_keys(b, f) + f" h<Enter>s{register_keys(k)}"
                        for k, (a, b, f) in enumerate(batch))
        jobs.append(("day counts", start, keys))
    for start in range(0, len(offsets), 30):
        # The clear "a" makes the next date entered date 1 again.
        jobs.append(("dates", start,
                     " ".join("a " + offset_keys(*p) for p in offsets[start:start + 30])))

    # qalc keeps its settings in a home of its own, not in the user's.
    qalc_home = tempfile.mkdtemp(dir=workdir)
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(2, os.cpu_count() or 2)) as pool:
        def run(job):
            # DATE leaves its answer in no register: each one's date is read
            # from what it said.
            speech = [] if job[0] == "dates" else None
            state = runner.run(job[2], speech=speech)
            return spoken_dates(speech) if job[0] == "dates" else state

        runs = pool.map(run, jobs)
        chunks = [[qalc_expression(p) for p in tvm[k:k + 25]] for k in range(0, len(tvm), 25)]
        answers = pool.map(lambda chunk: qalc_values(chunk, qalc_home), chunks)
        states = list(runs)
        theirs_tvm = [value for chunk in answers for value in chunk]

    tally = {}
    failures = []

    def record(topic, verdict, what):
        if verdict is None:
            failures.append(f"{topic}: {what}")
            verdict = "UNEXPLAINED"
        tally.setdefault(topic, {}).setdefault(verdict, 0)
        tally[topic][verdict] += 1

    for (kind, start, _), state in zip(jobs, states):
        if kind == "tvm":
            for k, p in enumerate(tvm[start:start + 100]):
                ours = register_value(state, k)
                theirs = theirs_tvm[start + k]
                topic = f"TVM {p['unknown']} {'BEG' if p['begin'] else 'END'}"
                if "kind" in p:
                    topic = f"CALCULO n, {p['kind']}"
                record(topic, judge_tvm(p, ours, theirs),
                       f"{p} calculator {ours!r} qalc {theirs!r}")
        elif kind == "statistics":
            for k, sample in enumerate(samples[start:start + per_run]):
                expected = python_statistics(sample)
                for j, name in enumerate(STAT_RESULTS):
                    ours = register_value(state, k * len(STAT_RESULTS) + j)
                    record("statistics", judge_statistic(j, sample, ours, expected[j]),
                           f"{name} of {sample}: calculator {ours!r} python {expected[j]!r}")
        elif kind == "day counts":
            for k, (a, b, f) in enumerate(counts[start:start + 100]):
                ours = register_value(state, k)
                expected = (b - a).days
                record("actual days", "agree" if ours == expected else None,
                       f"{a} to {b}: calculator {ours!r} python {expected}")
        else:
            batch = offsets[start:start + 30]
            if len(state) != len(batch):
                record("DATE", None, f"{len(batch)} DATEs from {batch[0][0]} said {len(state)} dates")
                continue
            for (start_date, offset, f), got in zip(batch, state):
                expected = start_date + timedelta(days=offset)
                want = f"{expected.day} {expected.month} {expected.year}"
                record("DATE", "agree" if got == want else None,
                       f"{start_date} + {offset}: calculator said {got} python {want}")

    total = 0
    for topic in sorted(tally):
        line = ", ".join(f"{v} {k}" for k, v in sorted(tally[topic].items()))
        print(f"{topic}: {line}")
        total += sum(tally[topic].values())
    print(f"{total} results compared in {len(jobs)} runs")
    shutil.rmtree(workdir, ignore_errors=True)
    if failures:
        print(f"{len(failures)} unexplained disagreements:")
        for f in failures[:40]:
            print("  " + f)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
