#!/usr/bin/env python3
"""Writes a random 3-CNF formula as a gate list and a calculator command file
(see gate_list.py): the conjunction is built clause by clause, f1 = c1,
fk = f(k-1) and ck, over the variables v0 .. v(n-1) in index order.

    cnf3.py VARS CLAUSES SEED [--gates FILE] [--commands FILE]

Each clause has three distinct variables, each negated with probability 1/2,
drawn with Python's random.Random(SEED), so a seed always gives the same
formula.
"""

import argparse
import random

from gate_list import GateList


def clauses(nvars, nclauses, seed):
    rng = random.Random(seed)
    result = []
    for _ in range(nclauses):
        picked = sorted(rng.sample(range(nvars), 3))
        result.append([(v, rng.random() < 0.5) for v in picked])
    return result


def convert(nvars, nclauses, seed):
    gl = GateList(f"random 3-CNF, {nvars} variables, {nclauses} clauses, seed {seed}")
    for v in range(nvars):
        gl.add_input(f"v{v}")
    previous = None
    for k, clause in enumerate(clauses(nvars, nclauses, seed), 1):
        lits = [("!" if neg else "") + f"v{v}" for v, neg in clause]
        gl.add_gate(f"c{k}", "or", lits)
        if previous is None:
            previous = f"c{k}"
            continue
        gl.add_gate(f"f{k}", "and", [previous, f"c{k}"])
        previous = f"f{k}"
    gl.add_output(previous)
    return gl


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("vars", type=int)
    ap.add_argument("clauses", type=int)
    ap.add_argument("seed", type=int)
    ap.add_argument("--gates", help="write the gate list here")
    ap.add_argument("--commands", help="write the calculator command file here")
    args = ap.parse_args()
    if args.vars < 3 or args.clauses < 1:
        ap.error("needs at least 3 variables and 1 clause")
    gl = convert(args.vars, args.clauses, args.seed)
    if args.gates:
        gl.write_gate_list(args.gates)
    if args.commands:
        gl.write_commands(args.commands)


if __name__ == "__main__":
    main()
