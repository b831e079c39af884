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
