""":isop and :dot ask before a huge output as printing does, :isop counting the
terms of the cover it prints; Ctrl-C ends a ":" command like any other, and an
interrupted :cnf declares and defines nothing."""
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from harness import check, run

HUGE_OUTPUT = b"huge output (more than 10000 terms) print it anyway ? [N,y]?"
HUGE_BDD = b"huge bdd (501 nodes) print it anyway ? [N,y]?"
# Its cover is the 100 times 100 products ai.bj (201 nodes); one more term makes 10001.
PRODUCT = "(%s).(%s)" % ("+".join("a%d" % i for i in range(100)),
                         "+".join("b%d" % i for i in range(100)))
CHAIN = ".".join("v%d" % i for i in range(501))


def queens_cnf(n):
    """n queens on an n by n board in DIMACS: a queen on each row, at most one
    on each line."""
    v = lambda r, c: r * n + c + 1
    clauses = [[v(r, c) for c in range(n)] for r in range(n)]
    lines = [[(r, c) for c in range(n)] for r in range(n)]
    lines += [[(r, c) for r in range(n)] for c in range(n)]
    for d in range(-n + 2, n - 1):
        lines.append([(r, r - d) for r in range(n) if 0 <= r - d < n])
        lines.append([(r, n - 1 - r + d) for r in range(n) if 0 <= n - 1 - r + d < n])
    for line in lines:
        for i in range(len(line)):
            for j in range(i + 1, len(line)):
                clauses.append([-v(*line[i]), -v(*line[j])])
    body = "".join(" ".join(map(str, c)) + " 0\n" for c in clauses)
    return "p cnf %d %d\n%s" % (n * n, len(clauses), body)


def command(s, text):
    """Sends text and waits for the next prompt; returns what it printed."""
    before = len(s.output())
    s.send(text)
    s.expect(">>")
    return s.output()[before:]


def asked(s, text, question, answer):
    """Sends text, answers the question; returns what was printed."""
    before = len(s.output())
    s.send(text)
    s.wait_output(question, since=before)
    s.send(answer)
    s.expect(">>")
    new = s.output()[before:]
    check(new.startswith(question), "question: %r" % new[:80])
    return new[len(question):]


def test(start):
    folder = tempfile.mkdtemp(prefix="boolcalc-extension-")
    try:
        with open(os.path.join(folder, "queens.cnf"), "w") as f:
            f.write(queens_cnf(12))
        with open(os.path.join(folder, "queens.cmd"), "w") as f:
            f.write('help\n:cnf q "queens.cnf";\nnever_read;\n')
        s = start(cwd=folder)
        s.expect(">>")
        command(s, "noecho\n")

        out = command(s, ":isop %s;\n" % PRODUCT)
        check(HUGE_OUTPUT not in out and out.count(b" + ") == 9999, "10000 terms at once")
        out = asked(s, ":isop %s + c;\n" % PRODUCT, HUGE_OUTPUT, "y\n")
        check(out.count(b" + ") == 10000 and out.endswith(b" + c\n"), "yes: %r" % out[-40:])
        check(asked(s, ":isop %s + c;\n" % PRODUCT, HUGE_OUTPUT, "\n") == b"", "no")
        # As clauses the cover is two long clauses.
        command(s, "set cnf\n")
        out = command(s, ":isop %s + c;\n" % PRODUCT)
        check(HUGE_OUTPUT not in out and out.count(b"+c)") == 2, "cnf: %r" % out[-40:])
        command(s, "set dnf\n")

        check(asked(s, ":isop %s;\n" % CHAIN, HUGE_BDD, "n\n") == b"", ":isop, no")
        out = asked(s, ":dot %s;\n" % CHAIN, HUGE_BDD, "y\n")
        check(out.startswith(b"digraph") and b"v500" in out, ":dot, yes: %r" % out[:40])

        s.end_of_input()
        check(s.wait_exit() == 0, "exit status")

        # Ctrl-C while :cnf builds, in a file run by exec.
        s = start(cwd=folder)
        s.expect(">>")
        command(s, "f := a and not b;\n")
        s.send('exec "queens.cmd"\n')
        s.expect("-- eval and store\r\n")
        s.interrupt()
        s.expect_exactly("interrupted\r\n>>")
        for text in ["print q\n", ":order;\n", ":satcount f;\n"]:
            command(s, text)
        out = s.wait_output("\n1\n")
        check(out == b'f := a.-b\nreading "queens.cmd"\n"q" is undefined\n0 a\n1 b\n1\n',
              "after the interrupt: %r" % out[:200])
        s.end_of_input()
        check(s.wait_exit() == 0, "exit status")
    finally:
        shutil.rmtree(folder)


run(test)
