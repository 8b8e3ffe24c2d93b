"""The help and syntax texts, exactly, on the terminal."""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from harness import check, run

HELP = [
    "quit",
    "help",
    "exec \"file-command\"  -- read commands from file",
    "syntax                 -- display exp syntax",
    "echo                   -- turns echo on",
    "noecho                 -- turns echo off",
    "print <ident>          -- print ident infos",
    "list                   -- list current memory",
    "set {reed | cnf | dnf} -- change print method",
    "<exp> ;                -- evaluate and print according to current method",
    "size <exp> ;           -- internal size of <exp>",
    "tree_size <exp> ;      -- size of the equivalent Shannon tree",
    "unsigned_size <exp> ;  -- size of the equivalent Shannon DAG",
    "reed <exp> ;           -- eval and print in Reed-Muller canonical form)",
    "cnf <exp> ;            -- eval and print in conjunctive normal form",
    "dnf <exp> ;            -- eval and print in disjunctive normal form",
    "<ident> := <exp> ;     -- eval and store",
]

SYNTAX = [
    "identifiers :",
    "   \"0\" | \"false\"  (always false)",
    "   \"1\" | \"true\"   (always true)",
    "   \"<ident>\"        (argument or variable)",
    "operators :",
    "   \"not <exp>\"     ",
    "   \"-<exp>\"           (negation)",
    "   \"<exp> or  <exp>\"   ",
    "   \"<exp> +   <exp>\"  (logical or)",
    "   \"<exp> and <exp>\"  ",
    "   \"<exp> .   <exp>\"  (logical and)",
    "   \"<exp> xor <exp>\" ",
    "   \"<exp> <>  <exp>\"  (exclusive or)",
    "   \"<exp> =>  <exp>\"  (implies)",
    "   \"<exp> =   <exp>\"  (equivalence)",
    "   \"if <exp> then <exp> else <exp>\" (lazy if then else)",
    "   \"forall <ident-list> <exp>\"      (consensus)",
    "   \"exist  <ident-list> <exp>\"      (smooth)",
    "   \"let <ident> := <exp> in <exp>\"  (local declaration)",
    "n-ary operators :",
    "   \"#(<exp-list>)\"     (at most one)",
    "   \"nor(<exp-list>)\"   (no one)",
    "   \"xor(<exp-list>)\"   (exactly one)",
]

FUNCTIONS = [
    "   \"ite(<exp>,<exp>,<exp>)\"  (functionnal if then else)",
    "   \"compare(<exp>,<exp>)\"  (tests the equivalence)",
    "   \"implies(<exp>,<exp>)\"  (tests the inclusion)",
    "   \"cuts(<exp>,<exp>)\"  (tests the intersection)",
    "   \"restrict(<exp>,<exp>)\"  (restrict(f,g) is equivalent to f if g)",
    "   \"constrain(<exp>,<exp>)\"  (constrain(f,g) is equivalent to f if g)",
    "   \"constrain_td(<exp>,<exp>)\"  (constrain_td(f,g) is equivalent to f if g)",
    "   \"upcons(<exp>,<exp>)\"  (upper function `x` such that constrain(op1,x) = op2)",
    "   \"supp(<exp>)\"  (support)",
    "   \"root(<exp>)\"  (Shannon decomposition)",
    "   \"high(<exp>)\"  (Shannon decomposition)",
    "   \"low(<exp>)\"  (Shannon decomposition)",
]


def lines(rows):
    return "".join(row + "\r\n" for row in rows)


def test(start):
    s = start()
    s.expect(">>")
    s.send("help\n")
    s.expect_exactly("version 2.0e\r\ncommands are:\r\n" + lines("   " + r for r in HELP) + ">>")
    s.send("syntax\n")
    s.expect_exactly("syntax :\r\n" + lines(SYNTAX) + "functions :\r\n" + lines(FUNCTIONS) + ">>")
    s.send("quit\n")
    check(s.wait_exit() == 0, "exit status")
    check(s.output() == b"", "help and syntax write nothing on standard output")


run(test)
