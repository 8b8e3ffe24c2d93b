"""Line editing and a history shared by the sessions that name one file."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from harness import check, run

UP = "\x1b[A"
LEFT = "\x1b[D"
BACKSPACE = "\x7f"


def test(start):
    history = tempfile.NamedTemporaryFile(prefix="boolcalc-history-", delete=False)
    history.write("".join("old%d;\n" % i for i in range(1200)).encode())
    history.close()
    try:
        first = start(history=history.name)
        first.expect(">>")
        # A correction typed before the line is sent, then a word put in
        # after moving back over the ";".
        first.send("a or x" + BACKSPACE + "b;" + LEFT + LEFT + "c." + "\n")
        first.expect(">>")
        first.wait_output("a + c.b\n")
        # A line longer than the terminal's own line buffer.
        first.send("v" + " + v" * 2000 + ";\n")
        first.expect(">>")
        first.wait_output("a + c.b\nv\n")
        first.send("quit\n")
        check(first.wait_exit() == 0, "exit status")
        with open(history.name) as f:
            lines = f.read().splitlines()
        check(len(lines) == 1000, "history keeps 1000 lines, not %d" % len(lines))
        check(lines[-3] == "a or c.b;", "edited line in the history: %r" % lines[-3])

        # The next session recalls the earlier one's lines.
        second = start(history=history.name)
        second.expect(">>")
        second.send(UP + UP + UP + "\n")
        second.expect(">>")
        check(second.wait_output("a + c.b\n") == b"a + c.b\n", "recalled: %r" % second.output())
    finally:
        os.unlink(history.name)

    # A history file that cannot be written: the session says nothing of it.
    lost = start(history="/no/such/folder/history")
    lost.expect_exactly("version 2.0e\r\nType \"help\" for informations\r\n>>")
    lost.send("a;\n")
    lost.expect_exactly(">>")
    lost.end_of_input()
    check(lost.wait_exit() == 0, "exit status")
    check(lost.child.before == b"", "terminal output: %r" % lost.child.before)


run(test)
