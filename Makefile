# The two commands of the README: `make run` and `make test`.
JOBS ?= $(shell nproc)
BUILD ?= build
TESTBUILD ?= build-test

.PHONY: all deps build run test bench install clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELORINE_BUILD_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: deps
	cmake -S . -B $(TESTBUILD) -DCMAKE_BUILD_TYPE=Debug -DVELORINE_SANITIZE=ON -DVELORINE_BUILD_TESTS=ON
	cmake --build $(TESTBUILD) -j $(JOBS)
	cd $(TESTBUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVELORINE_BUILD_TESTS=OFF -DVELORINE_BUILD_BENCH=ON
	cmake --build build-bench -j $(JOBS) --target velorine-bench
	QT_QPA_PLATFORM=offscreen build-bench/bench/velorine-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(TESTBUILD) build-bench

# libFuzzer on the BMP loader, from the conformance images, for FUZZ_SECONDS; crashing inputs
# are kept in tests/data/fuzz-crashes/ for the replay test (and seed later runs), the grown
# corpus in build-fuzz. On a shared machine a slow input is load, not a finding: only a
# timeout (30 s) is kept.
FUZZ_SECONDS ?= 60
FUZZBUILD ?= build-fuzz

.PHONY: fuzz
fuzz:
	@scripts/install-deps.sh fuzz
	cmake -S . -B $(FUZZBUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	      -DVELORINE_BUILD_TESTS=OFF -DVELORINE_BUILD_FUZZ=ON
	cmake --build $(FUZZBUILD) -j $(JOBS) --target velorine-fuzz-dib
	mkdir -p $(FUZZBUILD)/corpus tests/data/fuzz-crashes
	QT_QPA_PLATFORM=offscreen \
	ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	$(FUZZBUILD)/tests/fuzz/velorine-fuzz-dib -max_total_time=$(FUZZ_SECONDS) -timeout=30 \
	    -report_slow_units=30 \
	    -rss_limit_mb=2560 -artifact_prefix=$(CURDIR)/tests/data/fuzz-crashes/ \
	    $(FUZZBUILD)/corpus tests/data/bmpsuite tests/data/fuzz-crashes

# The Debian package, from a Release build of its own installed under /usr, compiled and linked
# with the flags a Debian build uses, hardening included (fortify, stack protector, relro and
# -z now; the compiler makes position-independent executables by default).
PACKAGEBUILD ?= build-package
DEBFLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get

.PHONY: package
package:
	@scripts/install-deps.sh package
	cmake -S . -B $(PACKAGEBUILD) -DCMAKE_BUILD_TYPE=Release -DVELORINE_BUILD_TESTS=OFF \
	      -DCMAKE_INSTALL_PREFIX=/usr \
	      -DCMAKE_CXX_FLAGS="$$($(DEBFLAGS) CPPFLAGS) $$($(DEBFLAGS) CXXFLAGS)" \
	      -DCMAKE_EXE_LINKER_FLAGS="$$($(DEBFLAGS) LDFLAGS)" \
	      -DCMAKE_SHARED_LINKER_FLAGS="$$($(DEBFLAGS) LDFLAGS)"
	cmake --build $(PACKAGEBUILD) -j $(JOBS)
	cd $(PACKAGEBUILD) && cpack -G DEB
	@ls $(PACKAGEBUILD)/velorine_*.deb
