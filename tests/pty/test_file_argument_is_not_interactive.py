"""A command file given as argument is never interactive, even on a terminal."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from harness import check, run


def test(start):
    with tempfile.NamedTemporaryFile("w", suffix=".cmd", delete=False) as f:
        f.write("a;\n$;\nhelp\nb;\n")
    try:
        s = start(args=(f.name,))
        check(s.wait_exit() == 0, "exit status")
        # No banner, prompt or console message: only the located error line.
        want = ("%s:2: unknown character '$' (36)\r\n" % f.name).encode()
        check(s.child.before == want, "terminal output: %r" % s.child.before)
        check(s.output() == b"a\nb\n", "results: %r" % s.output())
    finally:
        os.unlink(f.name)


run(test)
