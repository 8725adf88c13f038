# Two entry points that work on a fresh machine: `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
DEB_PACKAGES = cmake g++ clang make libgtest-dev libgmock-dev libbenchmark-dev tcl-dev tcl \
               libcli11-dev nlohmann-json3-dev graphviz valgrind libclang-rt-14-dev \
               libpugixml-dev hyperfine time

.PHONY: deps configure build demo test asan bench memcheck clean

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@sh tools/demo.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# tclsh itself is not built with the sanitizers, so the scripts that load the package into it
# run with the address sanitizer's runtime preloaded.
asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQBD_SANITIZE=ON -DQBD_BUILD_BENCHMARKS=OFF
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS) -E '^tcl\.'
	cd build-asan && LD_PRELOAD=$$($(CXX) -print-file-name=libasan.so) ASAN_OPTIONS=detect_leaks=1 \
	  ctest --output-on-failure -j $(JOBS) -R '^tcl\.'

# Every benchmark program in one table, then the Tcl lookup against `dict get` in tclsh.
bench: build
	@bench/run_all.sh $(BUILD)

# The suite under valgrind, except the qbd program's cases, which run through cmake and
# python (the sanitizer build covers the program). Tcl's allocator keeps pools that valgrind
# counts as possibly lost, so only definite leaks fail a test.
memcheck: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -T memcheck -E '^qbd\.' \
	  --overwrite MemoryCheckCommand=$$(command -v valgrind) \
	  --overwrite MemoryCheckCommandOptions="--leak-check=full --show-leak-kinds=definite \
	  --errors-for-leak-kinds=definite --error-exitcode=1"

clean:
	rm -rf $(BUILD) build-asan
