"""Above 500 nodes an interactive run asks before printing; exact-line answers."""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from harness import check, run


def chain(n):
    return ".".join("v%d" % i for i in range(n))


QUESTION = b"huge bdd (501 nodes) print it anyway ? "


def test(start):
    s = start()
    s.expect(">>")
    # Exactly 500 nodes: printed without a question.
    s.send(chain(500) + ";\n")
    s.expect(">>")
    s.wait_output(chain(500).encode() + b"\n")
    check(QUESTION not in s.output(), "no question at 500 nodes")

    big = chain(501)
    answers = [("y\n", True), ("Y\n", True), ("n\n", False), ("N\n", False), ("\n", False),
               ("yes\n n\nY\n", True)]
    for answer, printed in answers:
        before = len(s.output())
        s.send(big + ";\n")
        s.wait_output(QUESTION + b"[N,y]?", since=before)
        s.send(answer)
        s.expect(">>")
        new = s.output()[before:]
        check(new.startswith(QUESTION + b"[N,y]?"), "question: %r" % new[:80])
        if answer.startswith("yes"):
            check(new.count(b"please answer [N,y]?") == 2, "asked again: %r" % new[:200])
        check((big.encode() + b"\n" in new) == printed, "answer %r printed=%s" % (answer, printed))

    # The end of input while the question waits counts as no.
    before = len(s.output())
    s.send(big + ";\n")
    s.wait_output(QUESTION + b"[N,y]?", since=before)
    s.end_of_input()
    check(s.wait_exit() == 0, "exit status at end of input")
    check(big.encode() not in s.output()[before:], "nothing printed after end of input")


run(test)
