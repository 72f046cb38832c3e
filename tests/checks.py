"""The failures a test gathers: each printed as it is found, so that a
test goes on after one and its status counts them all."""
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)
    return ok
