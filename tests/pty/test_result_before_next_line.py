"""A command runs as soon as its last token is read: the user sees its result
before typing anything more."""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from harness import check, run


def test(start):
    s = start()
    s.expect(">>")
    # Each command is typed alone; the next is sent only once the result shows.
    steps = [
        ("x := a;\n", b"x := a\n"),
        ("print x\n", b"\"x\" variable holds :\na\n"),
        ("a or b;\n", b"a + b\n"),
        ("f(p) := p;\n", b"--new function: f, arity: 1\n"),
        ("del f\n", None),
        ("size a;\n", b"(1 bdd nodes)\n"),
        ("list\n", b"functions are:\n"),
        ("set cnf\n", None),
        ("a;\n", b"(a)\n"),
        ("exec \"/no/such/file\"\n", b"can't open \"/no/such/file\"\n"),
    ]
    for command, result in steps:
        s.send(command)
        if result is not None:
            s.wait_output(result)
        s.expect(">>")
    s.send("quit\n")
    check(s.wait_exit() == 0, "exit status")


run(test)
