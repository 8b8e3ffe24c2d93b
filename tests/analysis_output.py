#!/usr/bin/env python3
"""Checks the extension commands whose output is not fixed bytes.

    analysis_output.py BOOLCALC

:dot output rendered by Graphviz's dot has one node per diagram node plus the
leaf, both on standard output and written to a file; :time on puts a time line
on standard error after each command until :time off; :stats names its figures.
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

    proc = run(program, "a;\n:time on;\nb;\na . b;\n:time off;\nc;\n:stats;\n")
    times = proc.stderr.decode().splitlines()
    if len(times) != 2 or not all(re.fullmatch(r"time: \d+\.\d{3} s", t) for t in times):
        failures.append("time lines: %r" % times)
    stats = proc.stdout.decode()
    for figure in ["live nodes: ", "peak memory: "]:
        if figure not in stats:
            failures.append("no %r in :stats: %r" % (figure, stats))

    for f in failures:
        print(f)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
