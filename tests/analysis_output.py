#!/usr/bin/env python3
"""Checks the extension commands whose output is not fixed bytes.

    analysis_output.py BOOLCALC

:dot output rendered by Graphviz's dot has one node per diagram node plus the
leaf, both on standard output and written to a file; :time on puts a time line
on standard error after each command until :time off; :stats gives every figure
of the store, in bounds.
"""
import os
import re
import subprocess
import sys
import tempfile


def run(program, commands):
    return subprocess.run([program], input=commands.encode(), capture_output=True, timeout=100)


def diagram_nodes(dot_text):
    """The diagram's nodes (n0 the leaf, n1, ...) that Graphviz laid out."""
    plain = subprocess.run(["dot", "-Tplain"], input=dot_text, capture_output=True, check=True)
    return [line for line in plain.stdout.decode().splitlines()
            if re.match(r"node n\d+ ", line)]


STATS = re.compile(
    r"(?P<live>\d+)\n"
    r"node slots: (?P<slots>\d+)\n"
    r"bytes per node: (?P<bytes>\d+)\n"
    r"unique-table buckets: (?P<buckets>\d+)\n"
    r"computed-table entries: (?P<entries>\d+)\n"
    r"computed-table hit rate: \d+\.\d% \((?P<hits>\d+) of (?P<lookups>\d+) lookups\)\n"
    r"collections: (?P<collections>\d+) \(\d+\.\d{3} s\)\n"
    r"store memory: (?P<store>\d+) kB\n"
    r"peak memory: (?P<peak>\d+) kB\n")


def parse_stats(text):
    """The figures of one :stats report, from after its "live nodes: "; None if malformed."""
    m = STATS.fullmatch(text)
    return {k: int(v) for k, v in m.groupdict().items()} if m else None


def main():
    program = sys.argv[1]
    failures = []

    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "f.dot")
        for exp in ["a . -b", "(a <> b <> c) + d . -e", "1", "0", "#(a, b, c, d, e)"]:
            out = run(program, 'noecho\n:dot %s;\n:dot %s "%s";\nsize %s;\n'
                      % (exp, exp, path, exp)).stdout
            text, size_line = out.rsplit(b"}\n", 1)
            text += b"}\n"
            size = int(re.match(rb"\((\d+) bdd nodes\)", size_line).group(1))
            nodes = diagram_nodes(text)
            if len(nodes) != size + 1:
                failures.append("%s: %d nodes rendered, size %d" % (exp, len(nodes), size))
            with open(path, "rb") as f:
                if f.read() != text:
                    failures.append("%s: the file differs from standard output" % exp)

    proc = run(program, "a;\n:time on;\nb;\na . b;\n:time off;\nc;\n")
    times = proc.stderr.decode().splitlines()
    if len(times) != 2 or not all(re.fullmatch(r"time: \d+\.\d{3} s", t) for t in times):
        failures.append("time lines: %r" % times)

    # Figures before and after a function of 8 variables is kept: the live
    # nodes grow, and every figure stays within its bounds.
    proc = run(program, "noecho;\n:stats;\nx := #(a, b, c, d, e, f, g, h) <> a.b + c.d;\n"
               ":stats;\n")
    reports = [parse_stats(part) for part in proc.stdout.decode().split("live nodes: ")[1:]]
    if len(reports) != 2 or None in reports:
        failures.append(":stats: %r" % proc.stdout.decode())
    else:
        before, after = reports
        if not before["live"] < after["live"] <= after["slots"]:
            failures.append("live nodes: %r, then %r" % (before, after))
        if not (after["hits"] <= after["lookups"] and after["lookups"] > 0
                and after["bytes"] > 0 and after["buckets"] > 0 and after["entries"] > 0):
            failures.append(":stats figures: %r" % after)

    for f in failures:
        print(f)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
