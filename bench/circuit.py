#!/usr/bin/env python3
"""Converts an ISCAS'85 .bench or a BLIF combinational netlist into a gate list
and a calculator command file (see gate_list.py).

    circuit.py NETLIST [--order decl|df_level] [--gates FILE] [--commands FILE]

Variable orders:
  decl      inputs in the order the netlist declares them;
  df_level  inputs in the order a depth-first walk from the outputs first
            reaches them; the walk starts from the deepest output and enters
            the operands of each gate deepest first (the level of a gate is one
            more than the greatest level of its operands; inputs are at level
            0; equal levels keep their declaration order). Inputs no output
            reads come last, in declaration order.

Only gates some output depends on are built; a netlist that is not in
topological order is sorted (stably).
"""

import argparse
import os
import sys

from gate_list import GateList

BENCH_OPS = {
    "AND": "and", "NAND": "nand", "OR": "or", "NOR": "nor", "XOR": "xor", "XNOR": "xnor",
    "NOT": "not", "BUF": "buf", "BUFF": "buf",
}


class Netlist:
    """Inputs, outputs and gates (name -> (op, operands)) in declaration order."""

    def __init__(self):
        self.inputs = []
        self.outputs = []
        self.gates = {}

    def add_gate(self, name, op, args):
        if name in self.gates or name in self.inputs:
            raise ValueError(f"net {name} defined twice")
        self.gates[name] = (op, args)


def parse_bench(path):
    net = Netlist()
    with open(path) as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            where = f"{path}:{number}"
            if "=" in line:
                name, rhs = (s.strip() for s in line.split("=", 1))
                op, _, rest = rhs.partition("(")
                op = op.strip().upper()
                if op not in BENCH_OPS or not rest.endswith(")"):
                    raise ValueError(f"{where}: cannot read gate: {line}")
                args = [a.strip() for a in rest[:-1].split(",") if a.strip()]
                net.add_gate(name, BENCH_OPS[op], args)
                continue
            kind, _, rest = line.partition("(")
            name = rest.rstrip(")").strip()
            if kind.strip().upper() == "INPUT":
                net.inputs.append(name)
            elif kind.strip().upper() == "OUTPUT":
                net.outputs.append(name)
            else:
                raise ValueError(f"{where}: cannot read: {line}")
    return net


def blif_lines(path):
    """Logical lines of a BLIF file: comments dropped, continuations joined."""
    pending = ""
    with open(path) as f:
        for line in f:
            line = line.split("#", 1)[0].rstrip("\n")
            if line.rstrip().endswith("\\"):
                pending += line.rstrip()[:-1] + " "
                continue
            line = pending + line
            pending = ""
            if line.strip():
                yield line
    if pending.strip():
        yield pending


def parse_blif(path):
    """Reads .inputs, .outputs and .names; each cover becomes one or more gates.

    A cover with output value 1 lists the on-set cubes, one with 0 the off-set;
    a cube is the conjunction of its 0/1 literals ("-" does not care). Several
    cubes get one gate each, named NET/k, and NET is their disjunction.
    """
    net = Netlist()
    covers = []  # (name, operands, cube lines)
    current = None
    for line in blif_lines(path):
        words = line.split()
        if words[0].startswith("."):
            current = None
            key = words[0]
            if key == ".inputs":
                net.inputs += words[1:]
            elif key == ".outputs":
                net.outputs += words[1:]
            elif key == ".names":
                current = (words[-1], words[1:-1], [])
                covers.append(current)
            elif key not in (".model", ".end"):
                raise ValueError(f"{path}: {key} is not supported (combinational only)")
            continue
        if current is None:
            raise ValueError(f"{path}: cube outside .names: {line}")
        current[2].append(line)
    for name, operands, cubes in covers:
        add_cover(net, name, operands, cubes)
    return net


def add_cover(net, name, operands, cubes):
    value = None
    literal_lists = []
    for cube in cubes:
        words = cube.split()
        pattern, bit = ("", words[0]) if not operands else (words[0], words[1])
        if len(words) != (2 if operands else 1) or len(pattern) != len(operands) \
                or bit not in "01" or any(c not in "01-" for c in pattern):
            raise ValueError(f".names {name}: bad cube {cube!r}")
        if value not in (None, bit):
            raise ValueError(f".names {name}: mixes on-set and off-set cubes")
        value = bit
        literal_lists.append([a if c == "1" else "!" + a
                              for a, c in zip(operands, pattern) if c != "-"])
    if not literal_lists:  # no cube: constant 0
        net.add_gate(name, "const0", [])
        return
    negate = value == "0"
    if len(literal_lists) == 1:
        net.add_gate(name, *cube_gate(literal_lists[0], negate))
        return
    terms = []
    for k, lits in enumerate(literal_lists):
        term = f"{name}/{k}"
        net.add_gate(term, *cube_gate(lits, False))
        terms.append(term)
    net.add_gate(name, "nor" if negate else "or", terms)


def cube_gate(lits, negate):
    if not lits:
        return ("const0" if negate else "const1", [])
    if len(lits) == 1:
        return ("not" if negate else "buf", lits)
    return ("nand" if negate else "and", lits)


def base(arg):
    return arg.lstrip("!")


def needed_gates(net):
    """Gates some output depends on, in a topological order close to the file's."""
    order = []
    state = {}  # gate -> 1 while being visited, 2 when placed
    # Place every gate reachable from an output, operands first; gates are tried in
    # declaration order so that a sorted netlist keeps its order.
    reachable = set()
    stack = [o for o in net.outputs if o in net.gates]
    while stack:
        g = stack.pop()
        if g in reachable:
            continue
        reachable.add(g)
        for a in net.gates[g][1]:
            a = base(a)
            if a in net.gates:
                stack.append(a)
            elif a not in net.inputs:
                raise ValueError(f"net {a} is read by {g} but never defined")
    for g in net.gates:
        if g not in reachable or state.get(g) == 2:
            continue
        stack = [(g, False)]
        while stack:
            node, expanded = stack.pop()
            if expanded:
                state[node] = 2
                order.append(node)
                continue
            if state.get(node) == 2:
                continue
            if state.get(node) == 1:
                raise ValueError(f"combinational loop through {node}")
            state[node] = 1
            stack.append((node, True))
            for a in reversed(net.gates[node][1]):
                a = base(a)
                if a in net.gates and state.get(a) != 2:
                    stack.append((a, False))
    return order


def levels(net, gates):
    level = {i: 0 for i in net.inputs}
    for g in gates:
        level[g] = 1 + max((level[base(a)] for a in net.gates[g][1]), default=-1)
    return level


def df_level_order(net, gates):
    level = levels(net, gates)
    inputs = set(net.inputs)
    order, seen = [], set()
    for out in sorted(net.outputs, key=lambda o: -level[o]):
        stack = [out]
        while stack:
            node = stack.pop()
            if node in seen:
                continue
            seen.add(node)
            if node in inputs:
                order.append(node)
                continue
            operands = [base(a) for a in net.gates[node][1]]
            # deepest first; among equals, the operand written first
            operands.sort(key=lambda a: -level[a])
            stack.extend(reversed(operands))
    return order + [i for i in net.inputs if i not in seen]


def convert(path, order="decl"):
    net = parse_blif(path) if path.endswith(".blif") else parse_bench(path)
    for o in net.outputs:
        if o not in net.gates and o not in net.inputs:
            raise ValueError(f"output {o} is never defined")
    gates = needed_gates(net)
    if order == "decl":
        inputs = net.inputs
    elif order == "df_level":
        inputs = df_level_order(net, gates)
    else:
        raise ValueError(f"unknown order {order}")
    gl = GateList(f"{os.path.basename(path)}, {order} order")
    for i in inputs:
        gl.add_input(i)
    # Each output is reported as soon as its net exists.
    waiting = {}
    for o in net.outputs:
        waiting.setdefault(o, []).append(o)
    for i in inputs:
        for o in waiting.pop(i, []):
            gl.add_output(o)
    for g in gates:
        op, args = net.gates[g]
        gl.add_gate(g, op, args)
        for o in waiting.pop(g, []):
            gl.add_output(o)
    return gl


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("netlist")
    ap.add_argument("--order", default="decl", choices=["decl", "df_level"])
    ap.add_argument("--gates", help="write the gate list here")
    ap.add_argument("--commands", help="write the calculator command file here")
    args = ap.parse_args()
    try:
        gl = convert(args.netlist, args.order)
    except (OSError, ValueError) as e:
        sys.exit(f"circuit.py: {e}")
    if args.gates:
        gl.write_gate_list(args.gates)
    if args.commands:
        gl.write_commands(args.commands)
    print(f"{len(gl.inputs)} inputs, {len(gl.outputs())} outputs, "
          f"{sum(1 for it in gl.items if it[0] == 'g')} gates")


if __name__ == "__main__":
    main()
