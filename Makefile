# One entry for everything: each target installs what it is missing first.
PY        := /usr/bin/python3
VENV      := .venv
VPY       := $(VENV)/bin/python
BUILD     := build
# Seconds per fuzz target.
FUZZ_SECONDS ?= 300

SAN_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1


.PHONY: all setup test test-cpp test-py test-wheel module demo bench bench-setup fuzz leakcheck outcomes clean

all: module

setup:
	@scripts/setup.sh

# The C++ unit tests, built with AddressSanitizer and UndefinedBehaviorSanitizer.
$(BUILD)/asan/build.ninja: | setup
	meson setup $(BUILD)/asan -Dmodule=false -Dtests=true -Dbuildtype=debugoptimized \
	  -Db_sanitize=address,undefined -Dcpp_args=-fno-sanitize-recover=all

test-cpp: setup $(BUILD)/asan/build.ninja
	meson compile -C $(BUILD)/asan
	$(SAN_ENV) $(BUILD)/asan/tests/cpp/unit_tests --gtest_brief=1

# The module, installed into the project's venv the way a user installs it.
module: setup
	mkdir -p $(BUILD)/py
	$(VPY) -m pip install --no-build-isolation --no-index --no-deps -q \
	  --config-settings=builddir=$(BUILD)/py .

test-py: module
	$(VPY) -m pytest -q tests/python

# The wheel, made once from the module's build, then installed and run by every
# CPython on the machine (see scripts/check_wheel.py).
test-wheel: module
	rm -rf $(BUILD)/wheel
	$(VPY) -m pip wheel --no-build-isolation --no-index --no-deps -q -w $(BUILD)/wheel \
	  --config-settings=builddir=$(BUILD)/py .
	$(VPY) scripts/check_wheel.py $(BUILD)/wheel $(BUILD)/py

test: test-cpp test-py test-wheel

demo: module
	$(VPY) scripts/demo.py

# The benchmark's peers and the generator of the typed peer's dataclasses.
BENCH_PKGS := libbenchmark-dev libpugixml-dev python3-lxml python3-xmltodict python3-xsdata python3-click \
  python3-click-default-group python3-jinja2 python3-toposort python3-docformatter

bench-setup: setup
	@scripts/setup.sh $(BENCH_PKGS)

$(BUILD)/bench/build.ninja: | bench-setup
	meson setup $(BUILD)/bench -Dmodule=false -Dbench=true -Dbuildtype=release

# The C++ core alone against pugixml (medians of repetitions spread at random
# over the run, so that a burst of load on the machine weighs on one of them),
# then quorvane against lxml and its other Python peers on the same documents,
# and the memory of a parse. bench.py prints the tables; bench_core's own
# output is left in core.txt.
bench: bench-setup module $(BUILD)/bench/build.ninja
	meson compile -C $(BUILD)/bench
	$(VPY) bench/make_docs.py $(BUILD)/bench/docs
	$(BUILD)/bench/bench/bench_core --benchmark_min_time=0.1 $(BUILD)/bench/docs \
	  --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
	  --benchmark_out=$(BUILD)/bench/core.json --benchmark_out_format=json > $(BUILD)/bench/core.txt
	$(VPY) bench/bench.py --core $(BUILD)/bench/core.json

$(BUILD)/fuzz/build.ninja: | setup
	scripts/setup.sh clang-14 libclang-rt-14-dev
	CXX=clang++-14 meson setup $(BUILD)/fuzz -Dmodule=false -Dfuzz=true -Dbuildtype=debugoptimized \
	  -Db_sanitize=address,undefined -Db_lundef=false

fuzz: module $(BUILD)/fuzz/build.ninja
	meson compile -C $(BUILD)/fuzz
	QUORVANE_FUZZ_SEEDS=$(BUILD)/fuzz/seeds $(VPY) -m pytest -q -p no:cacheprovider tests/python >/dev/null || true
	mkdir -p fuzz/corpus-events fuzz/corpus-parse
	$(BUILD)/fuzz/fuzz/fuzz_events fuzz/corpus-events fuzz/seeds -max_total_time=$(FUZZ_SECONDS) -max_len=8192
	$(BUILD)/fuzz/fuzz/make_dict > $(BUILD)/fuzz/siri.dict
	$(BUILD)/fuzz/fuzz/fuzz_parse fuzz/corpus-parse fuzz/seeds $(BUILD)/fuzz/seeds -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
	  -dict=$(BUILD)/fuzz/siri.dict

# The whole Python suite under valgrind (a few minutes): fails on any memory
# error and on any block the module loses. Logs in build/leakcheck/.
leakcheck: module
	scripts/setup.sh valgrind
	$(VPY) scripts/leakcheck.py

# The outcome (rendering, error text, notify answers) of every document the tests,
# examples, fuzz seeds and corpora and the benchmark hold, with BASE's module and
# with this tree's: fails on any difference. BASE defaults to the last revision
# before the speed work; its outcomes are cached in $(BUILD)/outcomes/.
BASE ?= d01ede4

outcomes: module
	$(VPY) scripts/outcomes.py --base $(BASE)

clean:
	rm -rf $(BUILD) $(VENV)
