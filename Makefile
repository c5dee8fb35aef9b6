# Two entry points: `make demo` installs what is missing, builds and runs the demo;
# `make test` installs what is missing, builds and runs every test;
# `make fuzz` runs every fuzz harness for FUZZ_SECONDS on its corpus;
# `make deb` builds the Debian package $(BUILD)/tabulon_<version>_amd64.deb;
# `make windows` cross-builds the Windows programs into build-windows/ and packs
# build-windows/tabulon-<version>-windows-x86_64.zip.
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 600

.PHONY: all deps build demo test fuzz deb windows clean

all: build

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	bash scripts/run-demo.sh $(BUILD)

test: deps
	bash scripts/run-tests.sh

fuzz: deps
	bash scripts/run-fuzz.sh $(FUZZ_SECONDS)

# The package's own tree, configured for /usr and without tests or benchmarks.
deb: deps
	cmake -S . -B $(BUILD)/package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
	  -DTABULON_TESTS=OFF -DTABULON_BENCH=OFF
	cmake --build $(BUILD)/package -j $(JOBS)
	cpack --config $(BUILD)/package/CPackConfig.cmake -B $(abspath $(BUILD))

# The build runs its width-table generator under Wine, in a Wine prefix of its own.
windows: deps
	cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake --no-warn-unused-cli -DCMAKE_BUILD_TYPE=RelWithDebInfo
	WINEPREFIX=$(CURDIR)/build-windows/wine-prefix cmake --build build-windows -j $(JOBS)

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-windows
