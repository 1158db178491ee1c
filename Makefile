# Front door: every target installs what is missing, then builds with CMake.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
CMAKE_FLAGS ?=
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo -G Ninja)

PREFIX     ?= /usr/local

.PHONY: all deps build program test test-asan run gui bench bench-build bench-peers bench-external screenshot fuzz install \
        package clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2

# Only the program and what it reads at run time (its help page; the profiles are copied
# when CMake configures), not the tests: a first run is quick.
program: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2 --target folioscribe

# The core again under AddressSanitizer and UndefinedBehaviorSanitizer, without Qt.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DFOLIOSCRIBE_GUI=OFF \
	  -DFOLIOSCRIBE_SANITIZE=address,undefined
	cmake --build $(ASAN_BUILD) -j2
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j2

test: test-asan build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j2

SAMPLE_SITE := $(BUILD)/sample-site
run: program
	rm -rf $(SAMPLE_SITE) && cp -r examples/site $(SAMPLE_SITE)
	$(BUILD)/folioscribe $(abspath $(SAMPLE_SITE)) -profile sample -justdoit

gui: program
	$(BUILD)/folioscribe

screenshot: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2 --target folioscribe_screenshots
	for size in 1280x800 800x600; do \
	  xvfb-run -a -s "-screen 0 $${size}x24" $(BUILD)/folioscribe_screenshots $(BUILD)/screenshots/$$size || exit 1; \
	done

# The benchmarks time BENCH_PROGRAM, by default the Release build's own program (set it to
# another build's to compare): the link counter against cat on generated sites and on the
# documentation trees, the page reader alone in MB/s, then the site check against linkchecker.
BENCH_PROGRAM ?=
bench-build:
	@scripts/install-deps time linkchecker python3 python3.11-doc libboost1.81-doc postgresql-doc-15
	cmake -S . -B $(BENCH_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DFOLIOSCRIBE_GUI=OFF -DFOLIOSCRIBE_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j2

bench: bench-build
	bench/run-bench $(BENCH_BUILD) $(BENCH_PROGRAM)
	bench/run-reader-bench $(BENCH_BUILD)
	bench/run-check-bench $(BENCH_BUILD)

# Other link checkers on the same pages; they take minutes, so not part of `make bench`.
bench-peers: bench-build
	@scripts/install-deps npm
	bench/run-peers $(BENCH_BUILD) $(BENCH_PROGRAM)

# Outside links against LinkChecker (and linkinator, when npm can fetch it) on a loopback
# web server.
bench-external: bench-build
	bench/run-external-bench $(BENCH_BUILD) $(BENCH_PROGRAM)

fuzz:
	@scripts/install-deps clang libclang-rt-14-dev
	bench/run-fuzz

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A .deb in the build folder: sudo dpkg -i build/folioscribe_*.deb
package: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) build-fuzz
