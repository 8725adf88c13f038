# Two entry points that work on a fresh machine: `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
# What the demo runs, and what `make install` puts in place (the libraries come with them).
DEMO_TARGETS = qbd qbdsh
INSTALL_TARGETS = qbd qbdsh qbd_tcl_package
DEB_PACKAGES = cmake g++ clang make libgtest-dev libgmock-dev libbenchmark-dev tcl-dev tcl \
               libcli11-dev nlohmann-json3-dev graphviz valgrind libclang-rt-14-dev tcl-thread \
               python3-dev pybind11-dev python3-pybind11 python3-pytest libpugixml-dev hyperfine time \
               yosys nextpnr-ice40 fpga-icestorm \
               python3-jsonschema \
               neovim zsh

.PHONY: deps configure build demo test install asan tsan clang bench memcheck clean

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQBD_WERROR=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The build's own output goes to a log, so that the tour and its summary fit on a screen.
demo: deps
	@mkdir -p $(BUILD); echo "building $(DEMO_TARGETS) in $(BUILD) (log: $(BUILD)/demo-build.log)"
	@{ cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQBD_WERROR=ON && \
	   cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS); } > $(BUILD)/demo-build.log 2>&1 \
	  || { tail -40 $(BUILD)/demo-build.log; exit 1; }
	@sh tools/demo.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# make install PREFIX=/opt/qbd   (root only for a prefix you cannot write to). The Python
# package goes to PREFIX/lib/python3.X/dist-packages/qbd when the build has it (python3 finds
# it there for PREFIX=/usr/local; otherwise PYTHONPATH=PREFIX/lib/python3.X/dist-packages).
install: configure
	cmake --build $(BUILD) -j $(JOBS) --target $(INSTALL_TARGETS) \
	  $$(cmake --build $(BUILD) --target help | grep -ow -e _qbd -e qbd_shell_files)
	cmake --install $(BUILD) --prefix $(PREFIX)

# tclsh itself is not built with the sanitizers, so the scripts that load the package into it
# run with the address sanitizer's runtime preloaded, and the C++ runtime after it, without
# which a C++ exception thrown in the package aborts instead of being caught.
asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQBD_SANITIZE=ON -DQBD_WERROR=ON \
	  -DQBD_BUILD_BENCHMARKS=OFF
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS) -E '^tcl\.'
	cd build-asan && LD_PRELOAD="$$($(CXX) -print-file-name=libasan.so) $$($(CXX) -print-file-name=libstdc++.so)" \
	  ASAN_OPTIONS=detect_leaks=1 \
	  ctest --output-on-failure -j $(JOBS) -R '^tcl\.'

# Every target but the fuzzers (which the fuzz script builds with clang) compiled by clang with
# warnings as errors, unoptimised since nothing runs: g++ builds what the tests run.
clang: deps
	cmake -S . -B build-clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=None \
	  -DQBD_WERROR=ON -DQBD_BUILD_FUZZERS=OFF
	cmake --build build-clang -j $(JOBS)

# The handle table and the package under ThreadSanitizer: the C++ handle tests and the Tcl
# script that runs boards in two threads (the Thread package); one model asked from four
# threads, message captures beside senders, and the node pool across threads. Not part of CI.
tsan: deps
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQBD_SANITIZE_THREAD=ON \
	  -DQBD_WERROR=ON -DQBD_BUILD_BENCHMARKS=OFF -DQBD_BUILD_FUZZERS=OFF -DQBD_BUILD_PYTHON=OFF
	cmake --build build-tsan -j $(JOBS) --target qbd_tcl_package qbdsh tcl_tests
	cmake --build build-tsan -j $(JOBS) --target mbd_threads_tests portability_tests board_tests
	cd build-tsan && TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tcl/tsan.supp" \
	  ctest --output-on-failure -j $(JOBS) -R '^(tcl\.threads|BaseTclIf\.|CommandGuard\.)'
	cd build-tsan && TSAN_OPTIONS="halt_on_error=1" \
	  ctest --output-on-failure -j $(JOBS) -R '^(MbdThreads|Messages|NodePool)\.'

# Every benchmark program in one table, then the Tcl lookup against `dict get` in tclsh.
bench: build
	@bench/run_all.sh $(BUILD)

# The suite under valgrind, except the qbd program's cases and the install cases, which run
# through cmake and python (the sanitizer build covers the program). Tcl's allocator keeps pools that valgrind
# counts as possibly lost, so only definite leaks fail a test.
memcheck: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -T memcheck -E '^(qbd|install)\.' \
	  --overwrite MemoryCheckCommand=$$(command -v valgrind) \
	  --overwrite MemoryCheckCommandOptions="--leak-check=full --show-leak-kinds=definite \
	  --errors-for-leak-kinds=definite --error-exitcode=1"

clean:
	rm -rf $(BUILD) build-asan build-tsan build-clang

# The VS Code extension (editors/vscode), checked with stand-ins for the editor and packaged
# with its npm dependencies to $(BUILD)/qbd-board.vsix; needs node and npm. Not part of
# `make test`.
.PHONY: vsix
vsix:
	cd editors/vscode && npm ci --no-audit --no-fund && node test/activate.test.js && \
	  npx vsce package --allow-missing-repository --skip-license \
	    --out $(abspath $(BUILD))/qbd-board.vsix
