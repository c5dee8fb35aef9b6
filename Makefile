# Two entry points: `make demo` installs what is missing, builds and runs the demo;
# `make test` installs what is missing, builds and runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps build demo test clean

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

clean:
	rm -rf $(BUILD) build-asan build-fuzz
