#!/usr/bin/env python3
"""IRR against the exact rate of the cash flows.

Generates cash-flow series from a fixed seed and types each into the
calculator (CFo, CFj, Nj, then IRR), 25 series to a run with a clear of the
registers between them. After each IRR the calculator itself works out how
far RCL i lies from the expected rate, relative and in units of 1e-9, and the
test reads that figure from the calculation log.
The rate it should find is worked here in exact integer arithmetic: with
x = 1 + rate the NPV times x^m is the polynomial sum CF_k x^(m-k), whose sign
at a dyadic x = a / 2^e is exact in integers, and bisection narrows the
root to far below the tolerance.

- Series with one sign change (an investment and its returns, or a loan and
  its payments, with zeros and Nj groups) have exactly one rate above -100
  percent; the calculator must agree to 1e-9 relative.
- Series with no sign change, and series built with exactly two rates in
  the range the calculator scans, must be refused with error 7 and leave i
  as it was.

Usage: irr_test.py QUIPULAR_BINARY [VOICE_PACK]
"""

import concurrent.futures
import decimal
import os
import random
import shutil
import sys
import tempfile

from agreement_test import Runner

SEED = 20261210
RELATIVE = 1e-9
MARKER = 12345  # i is set to 12345 percent first: still there means refused
MARKER_PERCENT = 12345.0
BATCH = 25  # series typed in one run


# ---------------------------------------------------------------- exact rates


def sign_at(flows, a, e):
    """Sign of sum CF_k x^(m-k) at x = a / 2^e, times 2^(e m) (exact)."""
    m = len(flows) - 1
    total = 0
    for k, amount in enumerate(flows):
        total += amount * a ** (m - k) * (1 << (e * k))
    return (total > 0) - (total < 0)


def exact_rate(flows):
    """The one positive root x of the polynomial, as rate x - 1 (a float)."""
    while flows and flows[-1] == 0:  # x = 0 roots are no rate
        flows = flows[:-1]
    first = next(f for f in flows if f != 0)
    e = 0
    low, high = 0, 1  # x in [low, high] / 2^e
    while sign_at(flows, high, e) != (first > 0) - (first < 0):
        high *= 2
    at_low = sign_at(flows, low, e)
    for _ in range(80):
        low, high, e = 2 * low, 2 * high, e + 1
        middle = (low + high) // 2
        s = sign_at(flows, middle, e)
        if s == 0:
            return middle / 2 ** e - 1
        if s == at_low:
            low = middle
        else:
            high = middle
    return ((low + high) / 2) / 2 ** e - 1


def sign_changes(flows):
    signs = [f > 0 for f in flows if f != 0]
    return sum(1 for a, b in zip(signs, signs[1:]) if a != b)


# ---------------------------------------------------------------- series


def one_change_series(rng):
    """Groups (amount, times): an outlay then returns, or the reverse."""
    while True:
        outlay = rng.randint(100, 999999)
        groups = [(-outlay, 1)]
        places = 1
        for _ in range(rng.randint(1, 12)):
            amount = rng.choice([0, rng.randint(1, 99999), rng.randint(1, 999999)])
            times = rng.choice([1, 1, 1, rng.randint(2, 12)])
            times = min(times, 99, 100 - places)
            if times < 1:
                break
            groups.append((amount, times))
            places += times
        if rng.random() < 0.3:  # a loan: money in first, payments after
            groups = [(-a, t) for a, t in groups]
        flows = expand(groups)
        if sign_changes(flows) != 1:
            continue
        rate = exact_rate(flows)
        # Rates this close to 0 or -100 percent say more about rounding in
        # the last digit than about the method.
        if abs(rate) < 1e-4 or rate < -0.9999 or rate > 1e4:
            continue
        return groups, rate


def no_change_series(rng):
    sign = rng.choice([1, -1])
    groups = [(sign * rng.choice([0, rng.randint(1, 99999)]), rng.choice([1, 1, 3]))
              for _ in range(rng.randint(1, 8))]
    groups[0] = (sign * rng.randint(1, 99999), 1)
    return groups


def polynomial_product(p, q):
    out = [0] * (len(p) + len(q) - 1)
    for i, a in enumerate(p):
        for j, b in enumerate(q):
            out[i + j] += a * b
    return out


def two_rate_series(rng):
    """-(x - x1)(x - x2) Q(x) with x1, x2 two rates at least 5 points apart
    and Q of positive coefficients (no further positive root): the flows,
    highest power first, are CF0, CF1, ..."""
    while True:
        a = rng.randint(-50, 150)
        b = a + rng.randint(5, 150)
        # -(100x - (100 + a))(100x - (100 + b)): roots at rates a and b percent.
        flows = [-10000, 100 * (200 + a + b), -(100 + a) * (100 + b)]
        q = [rng.randint(1, 9) for _ in range(rng.randint(1, 3))]
        flows = polynomial_product(flows, q)
        if all(abs(f) < 10 ** 9 for f in flows):
            return [(f, 1) for f in flows]


def expand(groups):
    return [amount for amount, times in groups for _ in range(times)]


def typed_exact(value):
    """A positive value as typed with EEX: nine significant digits, then the
    exponent; with the rest that those digits leave out, as an exact
    decimal."""
    exact = decimal.Decimal(value)
    mantissa, exponent = f"{exact:.8e}".split("e")
    exponent = int(exponent)
    text = mantissa + (f"e{exponent}" if exponent else "")
    return text, exact - decimal.Decimal(mantissa).scaleb(exponent)


def keys(groups, expected):
    """A clear, the marker in i, the flows, IRR; then, on the calculator's own
    stack, the relative error of RCL i against the expected percentage times
    1e9, for the log to show. The expected value is typed as two numbers of
    nine digits (the typed part and the rest), so that the typing itself
    adds no error the tolerance would notice."""
    parts = ["a", f"{MARKER}i"]
    for amount, times in groups:
        typed = f"{abs(amount)}" + ("t" if amount < 0 else "")
        parts.append(f"{typed}k")
        if times > 1:
            parts.append(f"{times}<Ctrl+K>")
    parts.append("T<Enter> ri")
    high, rest = typed_exact(abs(expected))
    parts.append(f"{high}<Enter> {'-' if expected > 0 else '+'}<Enter>")
    if rest:
        low, _ = typed_exact(abs(rest))
        same_sign = (rest > 0) == (expected > 0)
        parts.append(f"{low}<Enter> {'-' if same_sign else '+'}<Enter>")
    parts.append(f"{high}<Enter> /<Enter> {round(1 / RELATIVE)}<Enter> *<Enter>")
    return " ".join(parts)


def relative_errors(log):
    """The last value the log shows after each "*": one per series, in units
    of the tolerance."""
    errors, after_product, value = [], False, None
    for line in log:
        if line.startswith("Operando:"):
            if after_product:
                errors.append(value)
            after_product, value = line == "Operando: *", None
        elif after_product and line.startswith(" = "):
            try:
                value = float(line[3:])
            except ValueError:
                value = line[3:]
    if after_product:
        errors.append(value)
    return errors


# ---------------------------------------------------------------- main


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    binary = os.path.abspath(sys.argv[1])
    pack = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else ""
    rng = random.Random(SEED)
    workdir = tempfile.mkdtemp(prefix="quipular-irr-")
    runner = Runner(binary, pack, workdir)

    cases = []  # (what, groups, expected rate or None for refused)
    for _ in range(320):
        groups, rate = one_change_series(rng)
        cases.append(("one sign change", groups, rate))
    for _ in range(25):
        cases.append(("no sign change", no_change_series(rng), None))
    for _ in range(25):
        cases.append(("two rates", two_rate_series(rng), None))

    # Many series share one process: the clear "a" before each resets the
    # cash flows, and each series' answer is read from the calculation log.
    batches = [cases[k:k + BATCH] for k in range(0, len(cases), BATCH)]

    def run_batch(batch):
        log = []
        text = " ".join(keys(groups, MARKER_PERCENT if rate is None else 100 * rate)
                        for _, groups, rate in batch)
        runner.run(text, log)
        return relative_errors(log)

    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        answers = list(pool.map(run_batch, batches))

    failures = []
    tally = {}
    for batch, errors in zip(batches, answers):
        if len(errors) != len(batch):
            failures.append(f"a batch of {len(batch)} series gave {len(errors)} answers in the log")
            continue
        for (what, groups, rate), error in zip(batch, errors):
            ok = isinstance(error, float) and abs(error) <= 1
            expected = f"the error (i left at {MARKER} percent)" if rate is None else f"{100 * rate!r} percent"
            detail = f"relative error {error} x 1e-9 against {expected}"
            tally.setdefault(what, [0, 0])[0 if ok else 1] += 1
            if not ok:
                failures.append(f"{what}: {groups}: {detail}")

    for what, (good, bad) in sorted(tally.items()):
        print(f"{what}: {good} agree, {bad} disagree")
    shutil.rmtree(workdir, ignore_errors=True)
    for f in failures[:30]:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
