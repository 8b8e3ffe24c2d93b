#!/usr/bin/env python3
"""Writes the 4x4x4 tic-tac-toe workload as a gate list and a calculator command
file (see gate_list.py): the positions with exactly N crosses on the 64 cells in
which every one of the 76 lines of four holds at least one cross and one nought.

    tictactoe.py N [--gates FILE] [--commands FILE]

Variables cell by cell (cell 16*i + 4*j + k is c<i><j><k>, true for a cross).
"Exactly N crosses" is built first, bottom up over the cells (e_<c>_<k>: exactly
k crosses among cells c .. 63), then the constraint of each line (some cross and
some nought among its cells) is built on its own and conjoined to it, one line at a
time, in the order `lines` lists them. N = 20 has 8179 nodes without
complement edges.
"""

import argparse

from gate_list import GateList

CELLS = 64


def cell(i, j, k):
    return 16 * i + 4 * j + k


def lines():
    """The 76 lines of four cells, in the order their constraints are conjoined: plane
    by plane along i, the rows along k, the rows along j and the two diagonals of the
    plane; then the rows along i and the diagonals of the planes of fixed j; the
    diagonals of the planes of fixed k; the four space diagonals. ORDER: the order
    decides how large the intermediate diagrams grow. Finishing the lines of one plane
    before the next keeps them small: the order that takes the rows along k, along j and
    along i each through the whole cube first takes three times as long and twice the
    memory."""
    c = cell
    found = []
    for i in range(4):
        for j in range(4):
            found.append([c(i, j, k) for k in range(4)])
        for k in range(4):
            found.append([c(i, j, k) for j in range(4)])
        found.append([c(i, j, j) for j in range(4)])
        found.append([c(i, 3 - j, j) for j in range(4)])
    for j in range(4):
        for k in range(4):
            found.append([c(i, j, k) for i in range(4)])
        found.append([c(i, j, i) for i in range(4)])
        found.append([c(3 - i, j, i) for i in range(4)])
    for k in range(4):
        found.append([c(i, i, k) for i in range(4)])
        found.append([c(3 - i, i, k) for i in range(4)])
    found.append([c(i, i, i) for i in range(4)])
    found.append([c(3 - i, i, i) for i in range(4)])
    found.append([c(i, 3 - i, i) for i in range(4)])
    found.append([c(i, i, 3 - i) for i in range(4)])
    return found


def convert(n):
    gl = GateList(f"4x4x4 tic-tac-toe, {n} crosses, every line mixed")
    names = [f"c{c // 16}{c // 4 % 4}{c % 4}" for c in range(CELLS)]
    for name in names:
        gl.add_input(name)
    gl.add_gate("zero", "const0", [])
    gl.add_gate("one", "const1", [])

    def count(c, k):  # the net of "exactly k crosses among cells c .. 63"
        if k < 0 or k > CELLS - c:
            return "zero"
        if c == CELLS:
            return "one"
        return f"e_{c}_{k}"

    for c in range(CELLS - 1, -1, -1):
        for k in range(max(0, n - c), min(n, CELLS - c) + 1):
            gl.add_gate(count(c, k), "ite", [names[c], count(c + 1, k - 1), count(c + 1, k)])
    previous = count(0, n)
    for m, line in enumerate(lines(), 1):
        cells = [names[c] for c in line]
        gl.add_gate(f"some{m}", "or", cells)
        gl.add_gate(f"notall{m}", "nand", cells)
        gl.add_gate(f"line{m}", "and", [f"some{m}", f"notall{m}"])
        gl.add_gate(f"f{m}", "and", [previous, f"line{m}"])
        previous = f"f{m}"
    gl.add_output(previous)
    return gl


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("n", type=int)
    ap.add_argument("--gates", help="write the gate list here")
    ap.add_argument("--commands", help="write the calculator command file here")
    args = ap.parse_args()
    if not 0 <= args.n <= CELLS:
        ap.error("N must lie between 0 and 64")
    gl = convert(args.n)
    if args.gates:
        gl.write_gate_list(args.gates)
    if args.commands:
        gl.write_commands(args.commands)


if __name__ == "__main__":
    main()
