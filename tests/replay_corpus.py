#!/usr/bin/env python3
"""Replays every saved fuzzing input through the program.

Each input must end the run normally: exit status 0 (or 1 only through the
package's own out-of-memory message), no sanitizer report, no internal error
of the package, and no more than the time limit. The sessions run in a scratch
directory holding the small files the transcripts use: what they write (a
`:dot` file, say) lands there, never beside the sources.
"""
import os
import shutil
import subprocess
import sys
import tempfile

FILES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "transcripts", "files")


def main():
    program, corpus = os.path.abspath(sys.argv[1]), sys.argv[2]
    names = sorted(os.listdir(corpus)) if os.path.isdir(corpus) else []
    failures = 0
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=1")
    scratch = tempfile.TemporaryDirectory(prefix="boolcalc-replay-")
    shutil.copytree(FILES, os.path.join(scratch.name, "files"))
    for name in names:
        path = os.path.join(corpus, name)
        with open(path, "rb") as f:
            data = f.read()
        try:
            proc = subprocess.run([program], input=data, capture_output=True, timeout=20,
                                  env=env, cwd=scratch.name)
        except subprocess.TimeoutExpired:
            print("%s: no end within 20 seconds" % name)
            failures += 1
            continue
        err = proc.stderr.decode("latin-1")
        bad = proc.returncode != 0 or "Sanitizer" in err or "runtime error" in err \
            or "Internal Error" in err
        if bad:
            failures += 1
            print("%s: status %d\n%s" % (name, proc.returncode, err[-2000:]))
    print("%d inputs replayed, %d failures" % (len(names), failures))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
