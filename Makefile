# make run   installs what is missing, builds build/boolcalc and starts it
#            (make run FILE=path runs that command file)
# make test  installs what is missing, builds the sanitized test build and runs every test
# make install   builds build/boolcalc and installs it, its man page and the examples
#                under PREFIX (default /usr/local); make uninstall removes them
# make bench installs what is missing, builds build-bench (Release) and prints the benchmark
#            table (takes minutes; make bench BENCH_ARGS=--help lists the options)

JOBS   ?= 2
PREFIX ?= /usr/local
FILE   ?=
BENCH_ARGS ?=
.PHONY: run test build deps clean bench bench-deps install uninstall

run: build
	./build/boolcalc $(FILE)

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	cmake --build build -j $(JOBS)

install: build
	cmake --install build --prefix $(PREFIX)

# Removes what install put there, as listed in the build's install manifest.
uninstall:
	@test -f build/install_manifest.txt || { echo "nothing installed from build/"; exit 1; }
	xargs rm -f < build/install_manifest.txt
	rmdir $(PREFIX)/share/doc/boolcalc/examples $(PREFIX)/share/doc/boolcalc 2>/dev/null || true

test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DBOOLCALC_SANITIZE=ON \
	      -DBOOLCALC_WERROR=ON -DBOOLCALC_TESTS=ON \
	      -DPYTHON_FOR_TESTS=$$(for p in python3 /usr/bin/python3; do \
	          $$p -c 'import pexpect' >/dev/null 2>&1 && { command -v $$p; break; }; done) >/dev/null
	cmake --build build-test -j $(JOBS)
	cd build-test && ctest --output-on-failure -j $(JOBS)

bench: deps bench-deps
	cmake -S bench -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build-bench -j $(JOBS)
	python3 -m unittest discover -s bench -p 'test_*.py'
	python3 bench/run.py $(BENCH_ARGS)

# The reference package of the benchmark, BuDDy.
bench-deps:
	@test -f /usr/include/bdd.h || { \
	  echo "installing: libbdd-dev"; \
	  export DEBIAN_FRONTEND=noninteractive; \
	  apt-get update -q >/dev/null && apt-get install -y -q libbdd-dev >/dev/null; }

# Installs with apt-get only the packages whose files are missing.
deps:
	@missing=""; \
	command -v g++ >/dev/null || missing="$$missing g++"; \
	command -v cmake >/dev/null || missing="$$missing cmake"; \
	command -v bison >/dev/null || missing="$$missing bison"; \
	test -f /usr/include/readline/readline.h || missing="$$missing libreadline-dev"; \
	test -f /usr/include/gtest/gtest.h || missing="$$missing libgtest-dev"; \
	command -v python3 >/dev/null || missing="$$missing python3"; \
	{ python3 -c 'import pexpect' 2>/dev/null || /usr/bin/python3 -c 'import pexpect' 2>/dev/null; } \
	  || missing="$$missing python3-pexpect"; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  export DEBIAN_FRONTEND=noninteractive; \
	  apt-get update -q >/dev/null && apt-get install -y -q $$missing >/dev/null; \
	fi

clean:
	rm -rf build build-test
