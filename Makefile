# Thin wrapper over the CMake presets. Every target configures what it needs.
PRESET ?= default
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all build test sanitize install bench clean deps demo format format-check tidy fuzz tsan \
        windows dist-windows test-windows web web-page

all: build

# Debian packages: what building and running the library and the tool
# needs (make demo), and what the test suite, the installation test, the
# browser tests and the checks add (make test, CI). Installed when missing
# and possible.
TOOL_PACKAGES := cmake ninja-build g++ nlohmann-json3-dev libcli11-dev libcpp-httplib-dev pkg-config
TEST_PACKAGES := libgtest-dev libbenchmark-dev python3 clang-format clang-tidy python3-venv python3-pip \
                 python3-setuptools python3-wheel locales chromium
# Emscripten compiles the page's WebAssembly module (make web).
WEB_PACKAGES := emscripten
DEB_PACKAGES := $(TOOL_PACKAGES) $(TEST_PACKAGES) $(WEB_PACKAGES)
# libFuzzer comes with clang's runtime libraries.
FUZZ_PACKAGES := clang libclang-rt-14-dev
# The Windows build: the MinGW-w64 cross compiler, Wine to run its tests,
# GoogleTest's sources to build for the target, binutils' objdump for the DLL.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 googletest

deps:
	@missing=""; for p in $(DEB_PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Missing Debian packages:$$missing"; \
	  if [ "$$(id -u)" = 0 ]; then apt-get update -q && apt-get install -y -q $$missing; \
	  else echo "Install them with: sudo apt-get install$$missing"; exit 1; fi; \
	fi

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) -j $(JOBS)

# Verifies the embedded example (a 300 x 500 beam) and draws its N-M domains;
# builds the library and the tool only, not the test programs.
demo:
	$(MAKE) deps DEB_PACKAGES="$(TOOL_PACKAGES)"
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target ferrolit_cli
	./build/tools/ferrolit verify --svg build/demo.svg --html build/demo.html
	@echo "Domini N-M disegnati in build/demo.svg"
	@echo "Relazione di calcolo in build/demo.html (da aprire nel browser o stampare su A4)"
	./build/tools/ferrolit members examples/building/model.json --quiet --html build/demo-members.html
	@echo "Relazione delle membrature dell'edificio di esempio in build/demo-members.html"

# The page that computes in the browser joins when Emscripten is installed;
# without it, its browser test skips.
test: build
	@if command -v emcc >/dev/null 2>&1; then $(MAKE) web-page; else echo "emcc assente: la pagina nel browser non è costruita"; fi
	ctest --preset $(PRESET) -j $(JOBS)

# The page that computes in the browser: build/web/index.html with the
# library compiled to WebAssembly in build/web/ferrolit.js (preset web).
web:
	$(MAKE) deps DEB_PACKAGES="$(TOOL_PACKAGES) $(WEB_PACKAGES)"
	$(MAKE) web-page

web-page:
	cmake --preset web
	cmake --build --preset web -j $(JOBS)
	@echo "Pagina che calcola nel browser: build/web/index.html (si apre dal disco o da un qualsiasi server statico)"

sanitize:
	$(MAKE) test PRESET=sanitize

# Each fuzz target for FUZZ_SECONDS seconds (tests/fuzz/run.sh).
fuzz:
	$(MAKE) deps DEB_PACKAGES="$(DEB_PACKAGES) $(FUZZ_PACKAGES)"
	JOBS=$(JOBS) tests/fuzz/run.sh $(FUZZ_SECONDS)

# Independent registries on separate threads, under ThreadSanitizer.
tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan

bench: deps
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	./build-bench/bench/ferrolit_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	./build-bench/bench/ferrolit_members_bench 10000
	@if [ -f build/web/index.html ]; then \
	  python3 bench/browser_vs_native.py --library build-bench/libferrolit.so --program build-bench/tools/ferrolit; \
	else echo "pagina WebAssembly non costruita (make web): confronto browser/nativo saltato"; fi

# The repository's .clang-format on every C and C++ file: check, or apply.
format-check: deps
	tools/check-format

format: deps
	tools/check-format --fix

# The .clang-tidy checks on every source of the repository (the library, the
# tool, the tests, the benchmarks), warnings as errors: clang-tidy alone on the
# compile database of the preset tidy, nothing compiled; a unit unchanged since
# it passed is not run again (tools/run-tidy). TIDY_FOLDERS limits it to
# some folders ("src tools/src bench", as the full CI stage does).
TIDY_FOLDERS ?=
tidy: deps
	cmake --preset tidy
	tools/run-tidy build-tidy -j $(JOBS) $(TIDY_FOLDERS)

install: build
	cmake --install build --prefix $(PREFIX)
	@echo "Python package installed in $(PREFIX)/$$(sed -n 's/^FERROLIT_PYTHON_INSTALL_DIR:STRING=//p' build/CMakeCache.txt)"

# 64-bit Windows, cross-compiled (preset windows, build-windows/): ferrolit.dll
# with its import library, ferrolit.exe and the C example, in build-windows/bin.
windows:
	$(MAKE) deps DEB_PACKAGES="$(TOOL_PACKAGES) $(WINDOWS_PACKAGES)"
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS) --target ferrolit ferrolit_cli typical_use

# build-windows/ferrolit-VERSION-win64.zip: bin, lib, include, examples, README-windows.md.
dist-windows: windows
	cmake -DSOURCE_DIR=$(CURDIR) -DBUILD_DIR=$(CURDIR)/build-windows -P cmake/windows/dist.cmake

# The Windows build's tests under Wine, beside the Linux program whose results
# ferrolit.exe must equal (tests/windows), from the build of REFERENCE_PRESET.
REFERENCE_PRESET ?= default
REFERENCE_DIR = $(if $(filter default,$(REFERENCE_PRESET)),build,build-$(REFERENCE_PRESET))
test-windows:
	$(MAKE) deps DEB_PACKAGES="$(TOOL_PACKAGES) python3 $(WINDOWS_PACKAGES)"
	cmake --preset $(REFERENCE_PRESET)
	cmake --build --preset $(REFERENCE_PRESET) -j $(JOBS) --target ferrolit_cli
	cmake --preset windows -DFERROLIT_LINUX_BIN=$(CURDIR)/$(REFERENCE_DIR)/tools/ferrolit
	cmake --build --preset windows -j $(JOBS)
	ctest --preset windows -j $(JOBS)

clean:
.PHONY: all build test sanitize install bench clean deps demo format format-check tidy fuzz tsan \
        windows dist-windows test-windows web web-page
