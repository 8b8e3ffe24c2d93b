#!/usr/bin/env python3
"""Printed forms read back: for random functions, the disjunctive, conjunctive
and Reed-Muller forms the calculator prints, fed back to it, denote the
function they were printed from."""
import random
import subprocess
import sys

NAMES = ["a", "b", "c", "d", "e"]


def expression(rng, depth):
    if depth == 0 or rng.random() < 0.2:
        return rng.choice(NAMES + ["0", "1"])
    kind = rng.randrange(7)
    if kind == 0:
        return "not " + expression(rng, depth - 1)
    if kind <= 4:
        op = ["and", "or", "=>", "=", "xor"][kind - 1]
        return "(%s %s %s)" % (expression(rng, depth - 1), op, expression(rng, depth - 1))
    if kind == 5:
        return "if %s then %s else (%s)" % tuple(expression(rng, depth - 1) for _ in range(3))
    ops = ", ".join(expression(rng, depth - 1) for _ in range(rng.randrange(1, 4)))
    return "%s(%s)" % (rng.choice(["xor", "#", "nor"]), ops)


def run(program, text):
    out = subprocess.run([program], input=text.encode(), capture_output=True, timeout=120)
    if out.returncode != 0:
        sys.exit("status %d on:\n%s\n%s" % (out.returncode, text, out.stderr.decode()))
    return out.stdout.decode().splitlines()


def main():
    program = sys.argv[1]
    rng = random.Random(2026)
    declare = "".join(n + ";\n" for n in NAMES)
    exprs = [expression(rng, 4) for _ in range(300)]
    lines = run(program, declare + "".join(
        "dnf %s;\ncnf %s;\nreed %s;\n" % (e, e, e) for e in exprs))[len(NAMES):]
    if len(lines) != 3 * len(exprs):
        sys.exit("expected %d printed forms, got %d" % (3 * len(exprs), len(lines)))
    checks = []
    for k, e in enumerate(exprs):
        for form in lines[3 * k: 3 * k + 3]:
            checks.append("compare(%s, %s);\n" % (e, form))
    answers = run(program, declare + "".join(checks))[len(NAMES):]
    bad = [(c, a) for c, a in zip(checks, answers) if a != "1"]
    if len(answers) != len(checks) or bad:
        sys.exit("forms that do not read back:\n" + "".join("%s-> %s\n" % b for b in bad[:10]))
    print("%d printed forms read back to their functions" % len(checks))


if __name__ == "__main__":
    main()
