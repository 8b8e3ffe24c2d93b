#!/usr/bin/env python3
"""Runs one transcript case against the real program and compares bytes.

NAME.in      the commands; fed on standard input through a pipe, or given as
             the file argument where NAME.args names it (NAME.args holds the
             arguments, one per line; the word @IN stands for the .in file,
             named relative to the folder the case runs in, which is its own).
NAME.out     the exact standard output expected.
NAME.err     the exact standard error expected (when absent: empty).
NAME.status  the expected exit status (when absent: 0).
"""
import os
import subprocess
import sys


def read(path, default=None):
    if not os.path.exists(path):
        return default
    with open(path, "rb") as f:
        return f.read()


def main():
    program, input_path = sys.argv[1], sys.argv[2]
    base = input_path[: -len(".in")]
    args = read(base + ".args")
    stdin = read(input_path)
    argv = [program]
    if args is not None:
        for word in args.decode().splitlines():
            if word:
                argv.append(os.path.basename(input_path) if word == "@IN" else word)
        if "@IN" in args.decode().splitlines():
            stdin = b""
    env = dict(os.environ)
    env.setdefault("ASAN_OPTIONS", "detect_leaks=1")
    cwd = os.path.dirname(os.path.abspath(input_path))
    proc = subprocess.run(argv, input=stdin, capture_output=True, timeout=100, cwd=cwd, env=env)
    want_out = read(base + ".out", b"")
    want_err = read(base + ".err", b"")
    want_status = int((read(base + ".status", b"0") or b"0").strip())
    failed = False
    if proc.stdout != want_out:
        failed = True
        sys.stdout.write("standard output differs\n--- expected\n%r\n--- got\n%r\n"
                         % (want_out, proc.stdout))
    if proc.stderr != want_err:
        failed = True
        sys.stdout.write("standard error differs\n--- expected\n%r\n--- got\n%r\n"
                         % (want_err, proc.stderr))
    if proc.returncode != want_status:
        failed = True
        sys.stdout.write("exit status %d, expected %d\n" % (proc.returncode, want_status))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
