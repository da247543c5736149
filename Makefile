# Front door of the build. Everything goes through CMake + Ninja; this file
# only picks the build folder and the options.

BUILD     ?= build
TYPE      ?= RelWithDebInfo
WERROR    ?= OFF
JOBS      ?= $(shell nproc)
CMAKE     ?= cmake
CTEST_ARGS ?=

SAN_BUILD  ?= build-sanitize
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz

configure_args = -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE) -DVEK_WERROR=$(WERROR)

.PHONY: all deps configure build run test test-slow bench sanitize tsan fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@$(CMAKE) -S . -B $(BUILD) $(configure_args) >/dev/null

build: configure
	@$(CMAKE) --build $(BUILD) -j$(JOBS)

run: build
	@if [ -f examples/sample.vek ]; then $(BUILD)/vek examples/sample.vek; else $(BUILD)/vek; fi

# Slow tests carry the CTest label "slow" and stay out of the default run.
test: build
	@cd $(BUILD) && ctest -j$(JOBS) --output-on-failure -LE slow $(CTEST_ARGS)

test-slow: build
	@cd $(BUILD) && ctest -j$(JOBS) --output-on-failure -L slow $(CTEST_ARGS)

# Benchmarks draw offscreen like the tests, unless QT_QPA_PLATFORM asks for
# a display.
bench: configure
	@$(CMAKE) --build $(BUILD) -j$(JOBS) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-offscreen} $$b || exit 1; done

sanitize: deps
	@$(CMAKE) -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEK_WERROR=$(WERROR) -DVEK_SANITIZE=ON >/dev/null
	@$(CMAKE) --build $(SAN_BUILD) -j$(JOBS)
	@cd $(SAN_BUILD) && ctest -j$(JOBS) --output-on-failure -LE slow $(CTEST_ARGS)

# The thread sanitizer over the tree grid's tests, where the cache worker
# runs; repeated to meet more interleavings. The clipboard format list is
# process-wide and its tests expect it fresh, so they run once only in the
# default suite.
tsan: deps
	@$(CMAKE) -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEK_WERROR=$(WERROR) -DVEK_TSAN=ON >/dev/null
	@$(CMAKE) --build $(TSAN_BUILD) -j$(JOBS) --target vek_treegrid_tests
	@QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tsan-suppressions.txt" \
		$(TSAN_BUILD)/tests/vek_treegrid_tests --gtest_repeat=3 --gtest_filter=-ClipboardFormatList.*

fuzz:
	@scripts/install-deps clang libclang-rt-14-dev
	@CC=clang CXX=clang++ $(CMAKE) -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEK_FUZZ=ON >/dev/null
	@$(CMAKE) --build $(FUZZ_BUILD) -j$(JOBS) --target fuzzers

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
