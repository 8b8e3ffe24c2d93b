#!/usr/bin/env python3
"""Writes the N-queens function as a calculator command file.

    queens.py N [OUTPUT]

Variable x<r>_<c> is the square in row r, column c; the variables are declared
row by row, so the square (r, c) is variable r*N + c. The function is the
conjunction, in this order, of: each row has exactly one queen (xor(...));
each column, each diagonal r-c = N-2 down to 2-N and each anti-diagonal
r+c = 1 up to 2N-3 has at most one (#(...)); the squares of a line are listed
by increasing row. bench_gbdd and bench_buddy build the same conjunction in the
same order (workloads.h). The file ends with the "size" and "unsigned_size"
lines of the result.
"""

import sys


def lines(n):
    """(kind, squares) in conjunction order; kind is "xor" or "#"."""
    result = [("xor", [(r, c) for c in range(n)]) for r in range(n)]
    result += [("#", [(r, c) for r in range(n)]) for c in range(n)]
    for d in range(n - 2, 1 - n, -1):  # r - c = d
        result.append(("#", [(r, r - d) for r in range(n) if 0 <= r - d < n]))
    for s in range(1, 2 * n - 2):  # r + c = s
        result.append(("#", [(r, s - r) for r in range(n) if 0 <= s - r < n]))
    return result


def commands(n):
    out = [f"// {n}-queens", "noecho"]
    out += [f"x{r}_{c};" for r in range(n) for c in range(n)]
    for k, (kind, squares) in enumerate(lines(n)):
        operands = ", ".join(f"x{r}_{c}" for r, c in squares)
        conj = "" if k == 0 else "q and "
        out.append(f"q := {conj}{kind}({operands});")
    out += ["size q;", "unsigned_size q;"]
    return "\n".join(out) + "\n"


def main():
    if len(sys.argv) not in (2, 3) or not sys.argv[1].isdigit() or int(sys.argv[1]) < 2:
        sys.exit("usage: queens.py N [OUTPUT]   (N >= 2)")
    text = commands(int(sys.argv[1]))
    if len(sys.argv) == 3:
        with open(sys.argv[2], "w") as f:
            f.write(text)
    else:
        sys.stdout.write(text)


if __name__ == "__main__":
    main()
