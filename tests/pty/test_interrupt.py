"""Ctrl-C ends the command, never the session: during a computation (with the
command file it runs), at the prompt, on a continuation line and at the
huge-diagram question."""
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from harness import check, run


def queens(n):
    """n queens on an n by n board, one expression."""
    x = [["x%d_%d" % (r, c) for c in range(n)] for r in range(n)]
    lines = [[x[r][c] for c in range(n)] for r in range(n)]
    lines += [[x[r][c] for r in range(n)] for c in range(n)]
    for d in range(-n + 2, n - 1):
        lines.append([x[r][r - d] for r in range(n) if 0 <= r - d < n])
        lines.append([x[r][n - 1 - r + d] for r in range(n) if 0 <= n - 1 - r + d < n])
    rows = ["(%s)" % " + ".join(x[r]) for r in range(n)]
    return " . ".join(rows + ["#(%s)" % ", ".join(line) for line in lines])


def test(start):
    folder = tempfile.mkdtemp(prefix="boolcalc-interrupt-")
    try:
        with open(os.path.join(folder, "queens.cmd"), "w") as f:
            f.write("help\nq := %s;\nnever_read;\n" % queens(12))
        s = start(cwd=folder)
        s.expect(">>")
        s.send("f := a and not b;\n")
        s.expect(">>")
        s.send('exec "queens.cmd"\n')
        # The help text is on the console when the file's long command starts.
        s.expect("-- eval and store\r\n")
        s.interrupt()
        s.expect_exactly("interrupted\r\n>>")
        s.send("f or b;\nprint q\n")
        s.expect(">>")
        s.expect(">>")
        s.send("size %s;\n" % queens(6))
        s.expect(">>")
        out = s.wait_output("bdd nodes)\n")
        check(b"never_read" not in out, "the rest of the file was read: %r" % out[-200:])
        check(out.startswith(b"f := a.-b\nreading \"queens.cmd\"\na + b\n\"q\" is undefined\n"),
              "after the interrupt: %r" % out[:200])

        # A fresh run of the same commands gives the same size.
        fresh = start(cwd=folder)
        fresh.expect(">>")
        fresh.send("f := a and not b;\nsize %s;\n" % queens(6))
        fresh.expect(">>")
        want = fresh.wait_output("bdd nodes)\n").splitlines()[-1]
        check(out.splitlines()[-1] == want, "size %r, fresh run %r" % (out.splitlines()[-1], want))

        # At the prompt and on a continuation line: the line is dropped.
        s.send("abc")
        s.interrupt()
        s.expect_exactly(">>")
        s.send("x := a or\n")
        s.interrupt()
        s.expect_exactly(">>")
        before = len(s.output())
        s.send("x;\n")
        s.expect_exactly(">>")
        check(s.wait_output("x\n", since=before)[before:] == b"x\n", "x stays undefined")

        # At the huge-diagram question: no.
        before = len(s.output())
        s.send(".".join("v%d" % i for i in range(501)) + ";\n")
        s.wait_output("print it anyway ? [N,y]?", since=before)
        s.interrupt()
        s.expect_exactly(">>")
        s.send("a;\n")
        s.expect_exactly(">>")
        new = s.wait_output("a\n", since=before)[before:]
        check(new.endswith(b"[N,y]?a\n") and b"v0.v1" not in new, "after no: %r" % new[-80:])
        s.end_of_input()
        check(s.wait_exit() == 0, "exit status")
    finally:
        shutil.rmtree(folder)


run(test)
