"""A result of few nodes but more than 10000 printed terms asks first."""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from harness import check, run

QUESTION = b"huge output (more than 10000 terms) print it anyway ? [N,y]?"
# 100 times 100 terms (201 nodes); one more term makes 10001.
PRODUCT = "(%s).(%s)" % ("+".join("a%d" % i for i in range(100)),
                         "+".join("b%d" % i for i in range(100)))


def test(start):
    s = start()
    s.expect(">>")
    s.send(PRODUCT + ";\n")
    s.expect(">>")
    out = s.wait_output(b"a99.b99\n")
    check(QUESTION not in out and out.count(b" + ") == 9999, "10000 terms printed at once")

    for answer, printed in [("y\n", True), ("\n", False)]:
        before = len(s.output())
        s.send(PRODUCT + " + c;\n")
        s.wait_output(QUESTION, since=before)
        s.send(answer)
        s.expect(">>")
        new = s.output()[before:]
        check(new.startswith(QUESTION), "question: %r" % new[:80])
        check((b"a99.b99 + c\n" in new) == printed, "answer %r printed=%s" % (answer, printed))
    s.send("quit\n")
    check(s.wait_exit() == 0, "exit status")


run(test)
