# The README's commands: `make run` and `make test` do all the set-up on a fresh machine.
BUILD_RUN   ?= build/release
BUILD_TEST  ?= build/test
BUILD_BENCH ?= build/bench
BUILD_PACKAGE ?= build/package
BUILD_FUZZ  ?= build/fuzz
BUILD_SAN   ?= build/sanitize
FUZZ_SECONDS ?= 60
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_GEN   := -G Ninja

.PHONY: all deps run test test-sanitize bench fuzz build package clean format

all: build

deps:
	@sh scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_RUN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQXPAN_BUILD_TESTS=OFF
	cmake --build $(BUILD_RUN) -j $(JOBS)

run: build
	@$(BUILD_RUN)/src/qxpan $(ARGS)

test:
	@sh scripts/install-deps test
	cmake -S . -B $(BUILD_TEST) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQXPAN_BUILD_TESTS=ON -DQXPAN_WERROR=ON
	cmake --build $(BUILD_TEST) -j $(JOBS)
	cd $(BUILD_TEST) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The suite under AddressSanitizer and UndefinedBehaviorSanitizer. -O1 keeps the instrumented
# tests fast; the options also reach the test discovery that runs during the build.
SAN_ENV := ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0

test-sanitize:
	@sh scripts/install-deps test
	cmake -S . -B $(BUILD_SAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
		-DQXPAN_BUILD_TESTS=ON -DQXPAN_WERROR=ON -DQXPAN_SANITIZE=ON
	$(SAN_ENV) cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && $(SAN_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every benchmark runs; the target fails at the end when one of them missed a goal.
bench:
	@sh scripts/install-deps bench
	cmake -S . -B $(BUILD_BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQXPAN_BUILD_TESTS=OFF -DQXPAN_BUILD_BENCH=ON
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	@status=0; for b in $(BUILD_BENCH)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || status=1; done; exit $$status

# A Debian package of the Release build: $(BUILD_PACKAGE)/qxpan_<version>_<arch>.deb.
package:
	@sh scripts/install-deps package
	cmake -S . -B $(BUILD_PACKAGE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQXPAN_BUILD_TESTS=OFF
	cmake --build $(BUILD_PACKAGE) -j $(JOBS)
	cd $(BUILD_PACKAGE) && cpack -G DEB

# Every reader under libFuzzer with AddressSanitizer and UBSan, FUZZ_SECONDS each; fails on a finding.
fuzz:
	@sh scripts/install-deps fuzz
	cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
		-DQXPAN_BUILD_TESTS=OFF -DQXPAN_BUILD_FUZZ=ON
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target qxpan_fuzz
	sh fuzz/run-fuzzers.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
