#!/usr/bin/env python3
"""Runs the benchmark workloads on three sides and prints a Markdown table.

    run.py [--build DIR] [--circuits DIR] [--timeout S] [--only FAMILY,...]
           [--queens-max N] [--queens13] [--rounds N] [--mem-limit GIB]
           [--output FILE]

Sides: the calculator (build-bench/boolcalc/boolcalc) on a generated command
file; the GBdd package through its API (bench_gbdd); BuDDy, the reference
package (bench_buddy). Families: N-queens (N from 4 until every side has run
out of time; --queens13 adds N = 13 without the time limit), 4x4x4 tic-tac-toe
with 19 and 20 crosses, the netlists of the circuit folder, random 3-CNF
formulas. Each side's peak memory is in the table, and the share of the API
side's time spent collecting.

The node counts are the check: the calculator and bench_gbdd must report the
same size and unsigned_size for every output, and BuDDy's node count (a diagram
without complement edges) must equal unsigned_size. Any difference, a program
that fails, or calculator output other than the size lines makes the run exit
with status 1 after the table. Running out of time or memory does not.
"""

import argparse
import os
import platform
import re
import resource
import subprocess
import sys
import tempfile
import time

import circuit
import cnf3
import queens
import tictactoe

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

# Placements of N queens, a check of the construction itself (BuDDy counts them).
QUEENS_SOLUTIONS = {1: 1, 2: 0, 3: 0, 4: 2, 5: 10, 6: 4, 7: 40, 8: 92, 9: 352, 10: 724,
                    11: 2680, 12: 14200, 13: 73712, 14: 365596, 15: 2279184,
                    16: 14772512, 17: 95815104, 18: 666090624}

# (netlist, variable order). Left out: c6288 (a multiplier, exponential in every order)
# and c7552 (large in every order), c2670 and c5315 in declaration order.
CIRCUITS = [
    ("c17.bench", "decl"), ("c432.bench", "decl"), ("c499.bench", "decl"),
    ("c880.bench", "decl"), ("c1355.bench", "decl"), ("c1908.bench", "decl"),
    ("c3540.bench", "decl"),
    ("c432.bench", "df_level"), ("c499.bench", "df_level"), ("c880.bench", "df_level"),
    ("c1355.bench", "df_level"), ("c1908.bench", "df_level"), ("c2670.bench", "df_level"),
    ("c3540.bench", "df_level"), ("c5315.bench", "df_level"),
    ("ctrl.blif", "df_level"), ("int2float.blif", "df_level"), ("dec.blif", "df_level"),
    ("router.blif", "df_level"), ("cavlc.blif", "df_level"), ("priority.blif", "df_level"),
    ("i2c.blif", "df_level"), ("adder.blif", "df_level"), ("bar.blif", "df_level"),
]

# Crosses of the 4x4x4 tic-tac-toe rows.
TICTACTOE = (19, 20)

# (variables, clauses, seed)
CNF = [(n, 3 * n, seed) for n in (30, 35, 40, 45) for seed in (1, 2)]

SIDES = ("boolcalc", "api", "buddy")
TITLES = ("boolcalc", "GBdd API", "BuDDy")

SIZE_LINE = re.compile(r"\((\d+) bdd nodes\)$")
UNSIGNED_LINE = re.compile(r"\((\d+) Shannon DAG nodes\)$")


class Outcome:
    """One side of one row: status "ok", "timeout", "memory" or "error"."""

    def __init__(self, status, counts=None, cpu=None, extra=None, message=""):
        self.status = status
        self.counts = counts or []  # per output: (size, unsigned) or (nodes,)
        self.cpu = cpu
        self.extra = extra or {}
        self.message = message
        self.rss = None  # peak resident memory in MiB


class Runner:
    def __init__(self, args):
        self.timeout = args.timeout
        self.mem_bytes = int(args.mem_limit * 2**30)
        self.build = args.build
        self.boolcalc = os.path.join(args.build, "boolcalc", "boolcalc")
        self.api = os.path.join(args.build, "bench_gbdd")
        self.buddy = os.path.join(args.build, "bench_buddy")
        for exe in (self.boolcalc, self.api, self.buddy):
            if not os.access(exe, os.X_OK):
                sys.exit(f"run.py: {exe} is missing; build with: make bench")

    def _limit(self):
        resource.setrlimit(resource.RLIMIT_AS, (self.mem_bytes, self.mem_bytes))

    @staticmethod
    def _cpu_of(pid):
        """CPU seconds used so far by a running process, all its threads included."""
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            return 0.0
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def _once(self, cmd):
        """(status, stdout, stderr, CPU seconds of the process, wall seconds, peak RSS
        in MiB).

        The time limit is on CPU time, so that other work on the machine does not
        shorten it; a generous wall-clock limit only guards against a hang. (The
        limit is watched from here: an RLIMIT_CPU would coarsen the process's own
        CPU clock on some kernels.) The process is reaped with wait4, whose usage
        figures are the process's own: CPU time and peak resident memory."""
        start = time.perf_counter()
        with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
            proc = subprocess.Popen(cmd, stdout=out, stderr=err, stdin=subprocess.DEVNULL,
                                    text=True, preexec_fn=self._limit)
            while True:
                pid, status, usage = os.wait4(proc.pid, os.WNOHANG)
                if pid == proc.pid:
                    proc.returncode = os.waitstatus_to_exitcode(status)
                    break
                if (self._cpu_of(proc.pid) > self.timeout
                        or time.perf_counter() - start > 3 * self.timeout + 10):
                    proc.kill()
                    os.wait4(proc.pid, 0)
                    proc.returncode = -9
                    return "timeout", "", "", None, None, None
                time.sleep(0.05)
            wall = time.perf_counter() - start
            out.seek(0)
            err.seek(0)
            out, err = out.read(), err.read()
        cpu = usage.ru_utime + usage.ru_stime
        rss = usage.ru_maxrss / 1024.0
        if proc.returncode != 0:
            text = (out + err).strip()
            if re.search(r"memory|bad_alloc", text, re.I):
                return "memory", out, err, None, None, None
            last = text.splitlines()[-1] if text else ""
            return "error", out, err, f"exit status {proc.returncode}: {last}", None, None
        return "ok", out, err, cpu, wall, rss

    def measure(self, cmd, parse):
        """Runs cmd, again while the runs are short (at most 5 runs, about 2 s in all),
        and keeps the smallest CPU time. parse(stdout, process CPU) gives
        (counts, CPU seconds, extra) or raises ValueError."""
        best, spent, peak = None, 0.0, 0.0
        for _ in range(5):
            status, out, err, cpu, wall, rss = self._once(cmd)
            if status == "error":
                return Outcome("error", message=cpu)
            if status != "ok":
                return Outcome(status)
            try:
                counts, seconds, extra = parse(out, cpu)
            except ValueError as e:
                return Outcome("error", message=f"{e}; stderr: {err.strip()[:200]}")
            peak = max(peak, rss)
            if best is None or seconds < best.cpu:
                best = Outcome("ok", counts, seconds, extra)
            best.rss = peak
            spent += wall
            if spent > 2.0:
                break
        return best

    def run_boolcalc(self, command_file, n_outputs):
        def parse(out, cpu):
            lines = out.splitlines()
            counts = []
            for k in range(0, len(lines), 2):
                a = SIZE_LINE.match(lines[k])
                b = UNSIGNED_LINE.match(lines[k + 1]) if k + 1 < len(lines) else None
                if not a or not b:
                    raise ValueError(f"unexpected output line {k + 1}: {lines[k]!r}")
                counts.append((int(a.group(1)), int(b.group(1))))
            if len(counts) != n_outputs:
                raise ValueError(f"{len(counts)} outputs reported, {n_outputs} expected")
            return counts, cpu, {}

        return self.measure([self.boolcalc, command_file], parse)

    def run_program(self, exe, args, n_outputs):
        def parse(out, _cpu):
            counts, cpu, extra = [], None, {}
            for line in out.splitlines():
                words = line.split()
                if words and words[0] == "out":
                    counts.append(tuple(int(w) for w in words[2:]))
                elif words and words[0] == "cpu":
                    cpu = float(words[1])
                elif words and words[0] == "gc" and len(words) >= 3:
                    extra["gc_seconds"] = float(words[2])
                elif len(words) == 2:
                    extra[words[0]] = words[1]
            if cpu is None or len(counts) != n_outputs:
                raise ValueError(f"unexpected output: {out[-200:]!r}")
            return counts, cpu, extra

        return self.measure([exe] + args, parse)


def measure_sides(jobs, rounds):
    """Runs each (side, job) of a row, in `rounds` rounds that take the sides in
    turn, so that a slow spell of a shared machine falls on every side alike.
    Keeps each side's smallest CPU time and largest peak memory; a side that
    fails is not run again, and an error in any round is the side's outcome."""
    results = {}
    for _ in range(rounds):
        for side, job in jobs:
            prev = results.get(side)
            if prev is not None and prev.status != "ok":
                continue
            o = job()
            if prev is None or o.status == "error":
                results[side] = o
            elif o.status == "ok":
                best = o if o.cpu < prev.cpu else prev
                best.rss = max(prev.rss, o.rss)
                results[side] = best
    return results


def check(row):
    """Problems with the node counts of a row, as text lines."""
    problems = []
    calc, api, buddy = (row["sides"].get(s) for s in SIDES)
    names = row["outputs"]
    if calc and api and calc.status == api.status == "ok" and calc.counts != api.counts:
        for name, a, b in zip(names, calc.counts, api.counts):
            if a != b:
                problems.append(f"output {name}: boolcalc size/unsigned_size {a}, API {b}")
    gbdd = calc if calc and calc.status == "ok" else api
    if gbdd and buddy and gbdd.status == buddy.status == "ok":
        for name, a, b in zip(names, gbdd.counts, buddy.counts):
            if a[1] != b[0]:
                problems.append(f"output {name}: unsigned_size {a[1]}, BuDDy {b[0]} nodes")
    for o in (calc, api, buddy):
        if o and o.status == "error":
            problems.append(o.message)
    if row.get("solutions") is not None and buddy and buddy.status == "ok":
        got = int(buddy.extra.get("solutions", -1))
        if got != row["solutions"]:
            problems.append(f"BuDDy counts {got} placements, {row['solutions']} expected")
    return problems


def fmt_ms(seconds):
    ms = seconds * 1000.0
    if ms >= 100:
        return f"{ms:.0f}"
    if ms >= 10:
        return f"{ms:.1f}"
    if ms >= 1:
        return f"{ms:.2f}"
    return f"{ms:.3f}"


def cell_time(o, timeout):
    if o is None:
        return ""
    if o.status == "ok":
        return fmt_ms(o.cpu)
    return {"timeout": f"> {timeout:g} s", "memory": "out of memory"}.get(o.status, "ERROR")


def cell_ratio(a, b):
    if a is None or b is None or a.status != "ok" or b.status != "ok" or b.cpu <= 0:
        return ""
    return f"{a.cpu / b.cpu:.2f}"


def cell_rss(o):
    if o is None or o.status != "ok" or o.rss is None:
        return ""
    return f"{o.rss:.0f}"


def cell_gc(o):
    if o is None or o.status != "ok" or "gc_seconds" not in o.extra or o.cpu <= 0:
        return ""
    return f"{100.0 * o.extra['gc_seconds'] / o.cpu:.0f} %"


def table_line(row, timeout):
    calc, api, buddy = (row["sides"].get(s) for s in SIDES)
    gbdd = next((o for o in (calc, api) if o and o.status == "ok"), None)
    size = str(sum(c[0] for c in gbdd.counts)) if gbdd else ""
    unsigned = str(sum(c[1] for c in gbdd.counts)) if gbdd else ""
    nodes = str(sum(c[0] for c in buddy.counts)) if buddy and buddy.status == "ok" else ""
    mark = " **MISMATCH**" if row["problems"] else ""
    cells = [row["label"] + mark, str(len(row["outputs"])), size, unsigned, nodes,
             cell_time(calc, timeout), cell_time(api, timeout), cell_time(buddy, timeout),
             cell_ratio(calc, buddy), cell_ratio(api, buddy),
             cell_rss(calc), cell_rss(api), cell_rss(buddy), cell_gc(api)]
    return "| " + " | ".join(cells) + " |"


HEADER = ("| workload | outputs | GBdd nodes | unsigned_size | BuDDy nodes | boolcalc ms "
          "| GBdd API ms | BuDDy ms | boolcalc / BuDDy | API / BuDDy "
          "| boolcalc MiB | API MiB | BuDDy MiB | API collector |\n"
          "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")


def machine_lines(build):
    cpu = platform.processor() or "unknown processor"
    try:
        with open("/proc/cpuinfo") as f:
            cpu = next(l.split(":", 1)[1].strip() for l in f if l.startswith("model name"))
    except (OSError, StopIteration):
        pass
    mem = ""
    try:
        with open("/proc/meminfo") as f:
            kb = int(next(l.split()[1] for l in f if l.startswith("MemTotal")))
        mem = f", {kb / 2**20:.0f} GiB"
    except (OSError, StopIteration, ValueError):
        pass
    system = platform.system()
    try:
        with open("/etc/os-release") as f:
            system = next(l.split("=", 1)[1].strip().strip('"') for l in f
                          if l.startswith("PRETTY_NAME"))
    except (OSError, StopIteration):
        pass
    compiler = "unknown compiler"
    try:
        with open(os.path.join(build, "CMakeCache.txt")) as f:
            cxx = next(l.split("=", 1)[1].strip() for l in f
                       if l.startswith("CMAKE_CXX_COMPILER:"))
        compiler = subprocess.run([cxx, "--version"], capture_output=True,
                                  text=True).stdout.splitlines()[0]
    except (OSError, StopIteration, IndexError):
        pass
    buddy = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", "libbdd-dev"],
                           capture_output=True, text=True).stdout.strip() or "?"
    source = subprocess.run(["git", "-C", ROOT, "describe", "--always", "--dirty"],
                            capture_output=True, text=True).stdout.strip() or "unknown"
    return [f"Source: {source}. Machine: {cpu}, {os.cpu_count()} cores{mem}; {system}; "
            f"{compiler}, CMAKE_BUILD_TYPE=Release; BuDDy from libbdd-dev {buddy}."]


NOTES = """\
- Node counts are sums over the outputs of each output's own count. GBdd nodes: `size`
  (complement edges); unsigned_size: nodes of the same diagram without complement edges,
  which must equal BuDDy's `bdd_nodecount`, output by output. The run fails otherwise.
- Memory: peak resident set of each process (MiB), the largest of its runs. API
  collector: the share of the API side's measured time spent in collections.
- Times are CPU milliseconds, the best of up to 5 runs when a run is short, and the best
  over the rounds (`--rounds`, the sides taken in turn; ROUNDS here). boolcalc: the
  whole process (start-up, reading and parsing the command file, the `size` lines
  included), so rows under a few milliseconds mostly measure the start-up. GBdd API and
  BuDDy: building the functions and counting their nodes, measured inside the program;
  BuDDy's table set-up (`bdd_init`) is not included.
- BuDDy settings: `bdd_init(4000000, 1000000)` (nodes, cache entries),
  `bdd_setmaxincrease(4000000)`, `bdd_setcacheratio(4)` (cache a quarter of the node table
  as it grows), `bdd_setvarnum` with the number of inputs. GBdd runs with its defaults.
- N-queens: rows by `xor(...)`, then columns, diagonals and anti-diagonals by `#(...)`,
  conjoined in that order; variable order row by row. A side stops at the first N that
  takes longer than the time limit.
- Circuits: variable order `decl` (as the netlist declares the inputs) or `df_level`
  (depth-first from the deepest output, deepest operand first); one assignment per gate,
  nets deleted after their last use. Left out: c6288 and c7552 (too large in every order
  tried), c2670 and c5315 in `decl` order.
- Tic-tac-toe N: the 4x4x4 board, exactly N crosses on the 64 cells and every one of the
  76 lines of four holding at least one cross and one nought; variables cell by cell; the
  count built first, then the constraint of each line conjoined to it, one line at a
  time, plane by plane (`bench/tictactoe.py`).
- 3-CNF: random clauses of three distinct variables (fixed seeds), conjoined clause by
  clause; the label gives variables/clauses/seed."""


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    ap.add_argument("--circuits", default=os.environ.get(
        "BOOLCALC_CIRCUITS", os.path.join(ROOT, "..", "shared", "data", "circuits")))
    ap.add_argument("--timeout", type=float, default=60.0, help="CPU seconds per run")
    ap.add_argument("--only", default="queens,tictactoe,circuits,cnf")
    ap.add_argument("--queens-max", type=int, default=18)
    ap.add_argument("--queens13", action="store_true",
                    help="also run N-queens 13 without the time limit (minutes, GiBs)")
    ap.add_argument("--rounds", type=int, default=1,
                    help="runs of every side of a row, taken in turn; the best counts")
    ap.add_argument("--mem-limit", type=float, default=12.0, help="GiB per process")
    ap.add_argument("--output", help="also write the Markdown text here "
                    "(default: BUILD/bench-results.md)")
    args = ap.parse_args()
    families = set(args.only.split(","))
    unknown = families - {"queens", "tictactoe", "circuits", "cnf"}
    if unknown:
        ap.error(f"unknown families: {', '.join(sorted(unknown))}")
    runner = Runner(args)
    work = os.path.join(args.build, "work")
    os.makedirs(work, exist_ok=True)

    rows = []

    def finish(row):
        row["problems"] = check(row)
        rows.append(row)
        parts = []
        for side, title in zip(SIDES, TITLES):
            o = row["sides"].get(side)
            unit = " ms" if o and o.status == "ok" else ""
            parts.append(f"{title} {cell_time(o, args.timeout)}{unit}")
        done = sum(1 for o in row["sides"].values() if o.status == "ok")
        verdict = ("NODE COUNTS DIFFER OR A SIDE FAILED" if row["problems"]
                   else "node counts agree" if done > 1 else "nothing to compare")
        print(f"{row['label']}: {', '.join(parts)}; {verdict}", file=sys.stderr, flush=True)
        for p in row["problems"]:
            print(f"  {p}", file=sys.stderr, flush=True)

    ran_out = set()
    if "queens" in families:
        alive = set(SIDES)
        for n in range(4, args.queens_max + 1):
            if not alive:
                break
            path = os.path.join(work, f"queens{n}.cmd")
            with open(path, "w") as f:
                f.write(queens.commands(n))
            jobs = {
                "boolcalc": lambda: runner.run_boolcalc(path, 1),
                "api": lambda: runner.run_program(runner.api, ["queens", str(n)], 1),
                "buddy": lambda: runner.run_program(runner.buddy, ["queens", str(n)], 1),
            }
            sides = measure_sides([(s, jobs[s]) for s in SIDES if s in alive], args.rounds)
            row = {"label": f"queens {n}", "outputs": ["queens"],
                   "solutions": QUEENS_SOLUTIONS.get(n), "sides": sides}
            for side, o in sides.items():
                if o.status != "ok":
                    alive.discard(side)
                    ran_out.add(side)
            finish(row)

    def run_gate_workload(label, gl, stem):
        gates = os.path.join(work, stem + ".gates")
        commands = os.path.join(work, stem + ".cmd")
        gl.write_gate_list(gates)
        gl.write_commands(commands)
        outs = gl.outputs()
        row = {"label": label, "outputs": outs, "sides": measure_sides([
            ("boolcalc", lambda: runner.run_boolcalc(commands, len(outs))),
            ("api", lambda: runner.run_program(runner.api, ["gates", gates], len(outs))),
            ("buddy", lambda: runner.run_program(runner.buddy, ["gates", gates], len(outs))),
        ], args.rounds)}
        finish(row)

    if args.queens13:
        path = os.path.join(work, "queens13.cmd")
        with open(path, "w") as f:
            f.write(queens.commands(13))
        saved, runner.timeout = runner.timeout, 3600.0
        row = {"label": "queens 13 (no time limit)", "outputs": ["queens"],
               "solutions": QUEENS_SOLUTIONS[13], "sides": {
                   "boolcalc": runner.run_boolcalc(path, 1),
                   "api": runner.run_program(runner.api, ["queens", "13"], 1),
                   "buddy": runner.run_program(runner.buddy, ["queens", "13"], 1)}}
        runner.timeout = saved
        finish(row)

    if "tictactoe" in families:
        for n in TICTACTOE:
            run_gate_workload(f"tic-tac-toe {n}", tictactoe.convert(n), f"tictactoe{n}")

    if "circuits" in families:
        for name, order in CIRCUITS:
            path = os.path.join(args.circuits, name)
            try:
                gl = circuit.convert(path, order)
            except (OSError, ValueError) as e:
                rows.append({"label": f"{name} {order}", "outputs": [], "sides": {},
                             "problems": [f"cannot convert: {e}"]})
                print(f"  {name}: cannot convert: {e}", file=sys.stderr, flush=True)
                continue
            stem = f"{name.replace('.', '_')}_{order}"
            run_gate_workload(f"{name} {order}", gl, stem)

    if "cnf" in families:
        for nvars, nclauses, seed in CNF:
            gl = cnf3.convert(nvars, nclauses, seed)
            run_gate_workload(f"3-CNF {nvars}/{nclauses}/{seed}", gl,
                              f"cnf_{nvars}_{nclauses}_{seed}")

    notes = NOTES.replace("ROUNDS", str(args.rounds))
    text = "\n".join(machine_lines(args.build) + ["", HEADER]
                     + [table_line(r, args.timeout) for r in rows] + ["", notes]) + "\n"
    reached = []
    if "queens" in families:
        for side, title in zip(SIDES, TITLES):
            done = [int(r["label"].split()[1]) for r in rows if r["label"].startswith("queens")
                    and r["sides"].get(side) and r["sides"][side].status == "ok"]
            best = str(max(done)) if done else "-"
            if side not in ran_out:
                best += " (not limited by time: --queens-max)"
            reached.append(f"{title} {best}")
        text += (f"\nLargest N-queens within {args.timeout:g} s of CPU time: "
                 + ", ".join(reached) + ".\n")
    print(text, end="")
    output = args.output or os.path.join(args.build, "bench-results.md")
    with open(output, "w") as f:
        f.write(text)

    bad = [r for r in rows if r["problems"]]
    if bad:
        print(f"\nFAILED: {len(bad)} workload(s) with differing node counts or errors:",
              file=sys.stderr)
        for r in bad:
            for p in r["problems"]:
                print(f"  {r['label']}: {p}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
