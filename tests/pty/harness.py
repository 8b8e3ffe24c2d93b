"""Drives the program under a pseudo-terminal.

Standard input and standard error are the terminal, standard output goes to a
file, so console text (banner, prompts, console messages) and results can be
checked apart. The terminal does not echo, and so neither does the line
editor: what is read from it is exactly what the program wrote to standard
error, with each newline turned into carriage return and newline by the
terminal. Each session gets its own empty history file unless one is given.
"""
import os
import sys
import tempfile
import termios
import time

import pexpect


class Session:
    def __init__(self, program, args=(), cwd=None, history=None):
        fd, self.out_path = tempfile.mkstemp(prefix="boolcalc-out-")
        os.close(fd)
        self.inputrc = tempfile.NamedTemporaryFile(prefix="inputrc-", delete=False)
        self.inputrc.close()
        fd, self.history_path = tempfile.mkstemp(prefix="boolcalc-history-")
        os.close(fd)
        env = dict(os.environ, TERM="dumb", INPUTRC=self.inputrc.name, OUT=self.out_path,
                   BOOLCALC_HISTORY=history or self.history_path)
        env.setdefault("ASAN_OPTIONS", "detect_leaks=1")
        self.child = pexpect.spawn("/bin/sh", ["-c", 'exec "$0" "$@" > "$OUT"', program, *args],
                                   env=env, echo=False, timeout=20, cwd=cwd)

    def expect(self, text):
        """Waits for text on the terminal; returns what came before it."""
        if isinstance(text, str):
            text = text.encode()
        self.child.expect_exact(text)
        return self.child.before

    def expect_exactly(self, text):
        """Waits for text, which must follow the last match with nothing between."""
        before = self.expect(text)
        check(before == b"", "unexpected terminal output before %r: %r" % (text, before))

    def send(self, text):
        self.child.send(text.encode() if isinstance(text, str) else text)

    def output(self):
        with open(self.out_path, "rb") as f:
            return f.read()

    def wait_output(self, text, since=0, timeout=20):
        """Waits until standard output, from offset since, holds text; returns
        the whole output."""
        if isinstance(text, str):
            text = text.encode()
        deadline = time.time() + timeout
        while time.time() < deadline:
            data = self.output()
            if text in data[since:]:
                return data
            time.sleep(0.02)
        fail("standard output never showed %r; it holds %r" % (text, self.output()))

    def interrupt(self):
        """Types Ctrl-C."""
        self.child.sendintr()

    def end_of_input(self):
        """Types Ctrl-D once the line editor waits for a line. A Ctrl-D typed
        ahead, while the program is busy between lines, reaches the terminal in
        line mode, and the line editor then reads it as a plain character."""
        deadline = time.time() + 5
        while time.time() < deadline and termios.tcgetattr(self.child.child_fd)[3] & termios.ICANON:
            time.sleep(0.01)
        self.child.sendeof()

    def wait_exit(self):
        self.child.expect(pexpect.EOF)
        self.child.close()
        return self.child.exitstatus

    def close(self):
        if self.child.isalive():
            self.child.terminate(force=True)
        os.unlink(self.out_path)
        os.unlink(self.inputrc.name)
        os.unlink(self.history_path)


def fail(message):
    sys.stdout.write("FAIL: %s\n" % message)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def run(test):
    """Runs test(session_factory) and reports; the program path is argv[1]."""
    program = sys.argv[1]
    sessions = []

    def start(*args, **kwargs):
        s = Session(program, *args, **kwargs)
        sessions.append(s)
        return s

    try:
        test(start)
    except pexpect.TIMEOUT as e:
        import traceback; traceback.print_exc(limit=4)
        fail("timed out: %s" % str(e).splitlines()[0:3])
    except pexpect.EOF:
        fail("the program ended early")
    finally:
        for s in sessions:
            s.close()
    sys.stdout.write("ok\n")
