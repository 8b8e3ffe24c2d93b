"""Checks of the bench's own parts, run by `make bench` before it measures.

The three sides of the bench check one another, but all of them read what
circuit.py made of a netlist; these cases check that against functions written
out by hand, by evaluating the gate list on every input assignment. The last
ones check that differing node counts are caught.
"""

import itertools
import os
import tempfile
import unittest

import circuit
import random
import run
import tictactoe


def evaluate(gl, values, nets=None):
    """Output values of a GateList under an input assignment (name -> bool); the
    value of every net is left in `nets` when it is given."""
    nets = {} if nets is None else nets
    nets.update(values)

    def lit(a):
        return not nets[a[1:]] if a.startswith("!") else nets[a]

    results = []
    for it in gl.items:
        if it[0] == "o":
            results.append((it[1], nets[it[1]]))
            continue
        _, name, op, args = it
        v = [lit(a) for a in args]
        nets[name] = {
            "and": lambda: all(v), "nand": lambda: not all(v),
            "or": lambda: any(v), "nor": lambda: not any(v),
            "xor": lambda: sum(v) % 2 == 1, "xnor": lambda: sum(v) % 2 == 0,
            "buf": lambda: v[0], "not": lambda: not v[0],
            "const0": lambda: False, "const1": lambda: True,
            "ite": lambda: v[1] if v[0] else v[2],
        }[op]()
    return results


def convert_text(text, suffix, order="decl"):
    with tempfile.NamedTemporaryFile("w", suffix=suffix, delete=False) as f:
        f.write(text)
    try:
        return circuit.convert(f.name, order)
    finally:
        os.unlink(f.name)


def check_table(case, gl, expected):
    """expected: output name -> function of a dict of input values."""
    for bits in itertools.product([False, True], repeat=len(gl.inputs)):
        values = dict(zip(gl.inputs, bits))
        for name, got in evaluate(gl, values):
            case.assertEqual(got, expected[name](values), f"{name} under {values}")


BLIF = """\
.model covers
# comment line
.inputs a b \\
 c
.outputs on off multi zero one a
.names a b c on
1-0 1
.names a b off
11 0
.names a b c multi
11- 1
--1 1
.names zero
.names one
 1
.end
"""

BENCH = """\
# operands are defined after their readers, and one gate is read by nobody
INPUT(a)
INPUT(b)
INPUT(c)
OUTPUT(p)
OUTPUT(q)
p = XOR(a, b, c)
q = NAND(r, s)
r = NOR(a, n)
n = NOT(b)
s = XNOR(c, a)
dead = AND(a, b)
"""


class Readers(unittest.TestCase):
    def test_blif_covers(self):
        gl = convert_text(BLIF, ".blif")
        self.assertEqual(gl.inputs, ["a", "b", "c"])
        self.assertEqual(sorted(gl.outputs()), sorted(["on", "off", "multi", "zero", "one", "a"]))
        check_table(self, gl, {
            "on": lambda v: v["a"] and not v["c"],
            "off": lambda v: not (v["a"] and v["b"]),
            "multi": lambda v: (v["a"] and v["b"]) or v["c"],
            "zero": lambda v: False,
            "one": lambda v: True,
            "a": lambda v: v["a"],
        })

    def test_bench_gates_sorted_and_pruned(self):
        gl = convert_text(BENCH, ".bench")
        gates = [it[1] for it in gl.items if it[0] == "g"]
        self.assertNotIn("dead", gates)
        self.assertLess(gates.index("n"), gates.index("r"))
        check_table(self, gl, {
            "p": lambda v: v["a"] ^ v["b"] ^ v["c"],
            "q": lambda v: not ((not (v["a"] or not v["b"])) and v["c"] == v["a"]),
        })

    def test_df_level_enters_deepest_operand_first(self):
        # y = AND(a, t) with t = OR(b, c) one level deeper: b and c come before a;
        # the deeper output y is walked before x = BUF(d).
        gl = convert_text("INPUT(a)\nINPUT(b)\nINPUT(c)\nINPUT(d)\nINPUT(e)\n"
                          "OUTPUT(x)\nOUTPUT(y)\n"
                          "x = BUFF(d)\ny = AND(a, t)\nt = OR(b, c)\n", ".bench", "df_level")
        self.assertEqual(gl.inputs, ["b", "c", "a", "d", "e"])

    def test_undefined_net_is_refused(self):
        with self.assertRaises(ValueError):
            convert_text("INPUT(a)\nOUTPUT(z)\nz = AND(a, nowhere)\n", ".bench")


class TicTacToe(unittest.TestCase):
    def test_lines_are_the_76_lines_of_the_cube(self):
        lines = tictactoe.lines()
        self.assertEqual(len({frozenset(l) for l in lines}), 76)
        for l in lines:
            points = [(c // 16, c // 4 % 4, c % 4) for c in l]
            steps = {tuple(b[a] - p[a] for a in range(3)) for p, b in zip(points, points[1:])}
            self.assertEqual(len(steps), 1)  # four cells on one straight line

    def test_gate_list_is_the_definition(self):
        # The count and every line constraint on their own (the output is their
        # conjunction, and nearly every random position breaks some line).
        n = 20
        gl = tictactoe.convert(n)
        rng = random.Random(5)
        lines = tictactoe.lines()
        for _ in range(200):
            crosses = set(rng.sample(range(64), n + rng.choice((-1, 0, 1))))
            nets = {}
            [(_, got)] = evaluate(gl, {gl.inputs[c]: c in crosses for c in range(64)}, nets)
            self.assertEqual(nets[f"e_0_{n}"], len(crosses) == n)
            for m, l in enumerate(lines, 1):
                k = sum(c in crosses for c in l)
                self.assertEqual((nets[f"some{m}"], nets[f"notall{m}"]), (k > 0, k < 4))
            mixed = all(0 < sum(c in crosses for c in l) < 4 for l in lines)
            self.assertEqual(got, len(crosses) == n and mixed)


class CommandFile(unittest.TestCase):
    def test_nets_deleted_after_last_use_and_names_reused(self):
        gl = convert_text(BENCH, ".bench")
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "c.cmd")
            gl.write_commands(path)
            with open(path) as f:
                lines = f.read().splitlines()
        self.assertEqual(lines[1], "noecho")
        live = set()
        for line in lines[2:]:
            if line.startswith("del "):
                name = line.split()[1]
                self.assertIn(name, live, line)
                self.assertTrue(name.startswith("t"), "inputs are never deleted")
                live.remove(name)
            elif ":=" in line:
                name = line.split()[0]
                self.assertNotIn(name, live, f"{line}: name still in use")
                live.add(name)
        self.assertEqual(live, set())
        names = {line.split()[0] for line in lines if ":=" in line}
        self.assertLess(len(names), sum(1 for it in gl.items if it[0] == "g"))


class NodeCountCheck(unittest.TestCase):
    def row(self, calc, api, buddy, solutions=None):
        return {"outputs": ["p", "q"], "solutions": solutions, "sides": {
            "boolcalc": calc, "api": api, "buddy": buddy}}

    def test_agreeing_counts_pass(self):
        ok = run.Outcome("ok", [(3, 4), (1, 1)])
        self.assertEqual(run.check(self.row(ok, ok, run.Outcome("ok", [(4,), (1,)]))), [])

    def test_each_kind_of_difference_is_reported(self):
        calc = run.Outcome("ok", [(3, 4), (1, 1)])
        cases = [
            # the API disagrees with the calculator on q
            (calc, run.Outcome("ok", [(3, 4), (2, 2)]), run.Outcome("ok", [(4,), (1,)]), "q"),
            # BuDDy's count is the size with complement edges, not the unsigned one
            (calc, calc, run.Outcome("ok", [(3,), (1,)]), "p"),
            # only the API and BuDDy finished, and they differ
            (run.Outcome("timeout"), calc, run.Outcome("ok", [(4,), (5,)]), "q"),
        ]
        for c, a, b, name in cases:
            problems = run.check(self.row(c, a, b))
            self.assertEqual(len(problems), 1, problems)
            self.assertIn(f"output {name}", problems[0])

    def test_failed_side_and_wrong_solution_count_are_reported(self):
        ok = run.Outcome("ok", [(3, 4), (1, 1)])
        failed = run.Outcome("error", message="exit status 1: GBdd and:: out of nodes")
        self.assertEqual(run.check(self.row(failed, ok, run.Outcome("ok", [(4,), (1,)]))),
                         [failed.message])
        buddy = run.Outcome("ok", [(4,), (1,)], extra={"solutions": "91"})
        self.assertEqual(len(run.check(self.row(ok, ok, buddy, solutions=92))), 1)


if __name__ == "__main__":
    unittest.main()
