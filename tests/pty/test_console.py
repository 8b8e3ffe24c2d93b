"""Banner, prompt, lexical and recovery messages on the terminal."""
import sys

sys.path.insert(0, __import__("os").path.dirname(__file__))
from harness import check, run

BANNER = "version 2.0e\r\nType \"help\" for informations\r\n"


def test(start):
    s = start()
    s.expect_exactly(BANNER + ">>")
    s.send("a and b;\n")
    s.expect_exactly(">>")
    check(s.wait_output("a.b\n") == b"a.b\n", "result of a and b")

    # An unknown character: its own message, then the recovery, which waits
    # for the ";" that ends the bad command.
    s.send("c $ d\n")
    s.expect_exactly("lexical error : unknown char '$' (36)\r\nrecovery on ';'\r\n")
    s.send("e;\n")
    s.expect_exactly("error recovered\r\n>>")
    # A character outside ASCII, typed on a UTF-8 terminal: its first byte.
    s.send("\u00e9;\n".encode())
    s.expect_exactly("lexical error : unknown char ' ' (195)\r\nrecovery on ';'\r\n"
                     "error recovered\r\n>>")
    s.send(":;\n")
    s.expect_exactly("lexical error : unknown char ':' (58)\r\nrecovery on ';'\r\n")
    s.send("x;\n")
    s.expect_exactly("error recovered\r\n>>")

    # An error found on the ";" itself ends there: the next command runs.
    s.send("a := ;\n")
    s.expect_exactly("recovery on ';'\r\nerror recovered\r\n>>")
    s.send("kept;\n")
    s.expect_exactly(">>")

    # Two commands on one line: the second prompt comes after the first ran.
    s.send("a; b;\n")
    s.expect_exactly(">>>>")

    # A command spanning lines gets a single prompt.
    s.send("a\n")
    s.send("or b;\n")
    s.expect_exactly(">>")
    check(s.output() == b"a.b\nkept\na\nb\na + b\n", "results: %r" % s.output())

    # "print x ;": the blank ends the command, the ";" is a bad one of its own.
    s.send("print zz ;\n")
    s.expect_exactly(">>recovery on ';'\r\nerror recovered\r\n>>")
    s.send("next;\n")
    s.expect_exactly(">>")

    # A nesting deeper than the parse stack: the same recovery, and the run
    # goes on.
    for _ in range(200):
        s.send("(" * 100 + "\n")
    s.expect_exactly("recovery on ';'\r\n")
    s.send("a" + ")" * 50 + ";\n")
    s.expect_exactly("error recovered\r\n>>")
    s.send("b;\n")
    s.expect_exactly(">>")
    want = b"a.b\nkept\na\nb\na + b\n\"zz\" is undefined\nnext\nb\n"
    check(s.wait_output(want) == want, "results: %r" % s.output())

    # The end of input inside a command abandons it; the run ends with 0.
    s.send("b := c\n")
    s.end_of_input()
    s.expect_exactly("recovery on ';'\r\nend of file seen, abort...\r\n")
    check(s.wait_exit() == 0, "exit status")
    check(s.output() == want, "results: %r" % s.output())

    # quit ends the run at once.
    q = start()
    q.expect_exactly(BANNER + ">>")
    q.send("quit\n")
    check(q.wait_exit() == 0, "exit status after quit")
    check(q.output() == b"", "no output after quit")


run(test)
