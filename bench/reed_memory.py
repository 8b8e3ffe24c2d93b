#!/usr/bin/env python3
"""Peak memory of printing the Reed-Muller form of a conjunction of n
variables: python3 bench/reed_memory.py [PROGRAM] [N...] (defaults:
build/boolcalc, 1000 2000 4000). The printer holds one term at a time, so the
peak stays near the program's own size: 14 MB for 4000 variables, where a
printer that built a product diagram per level took 106 MB for 2000 and
392 MB for 4000 (release build, same machine)."""
import resource
import subprocess
import sys


def peak_kb(program, n):
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    command = "reed %s;\n" % ".".join("v%d" % i for i in range(n))
    subprocess.run([program], input=command.encode(), stdout=subprocess.DEVNULL, check=True)
    return max(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, before)


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "build/boolcalc"
    sizes = [int(a) for a in sys.argv[2:]] or [1000, 2000, 4000]
    for n in sizes:
        # Each size in a fresh process, so that the peaks do not mix.
        kb = subprocess.run([sys.executable, __file__, "--one", program, str(n)],
                            capture_output=True, check=True).stdout.decode().strip()
        print("reed of %d variables: %s KB peak" % (n, kb))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--one":
        print(peak_kb(sys.argv[2], int(sys.argv[3])))
    else:
        main()
