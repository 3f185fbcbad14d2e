# The two commands of the README: `make test` and `make demo`.
JOBS ?= $(shell nproc)
NATIVE := build
WINDOWS := build-win

.PHONY: all deps native windows test demo bench clean

all: native

deps:
	@bash scripts/install-deps.sh

windows: deps
	@cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WINDOWS) -j $(JOBS)

native: windows
	@cmake -S . -B $(NATIVE) -DHUEWRIGHT_WINDOWS_BUILD=$(CURDIR)/$(WINDOWS) >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

test: native
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)

demo: native
	@bash scripts/demo.sh $(NATIVE)

bench: native
	@cmake --build $(NATIVE) --target palette_bench -j $(JOBS)
	@$(NATIVE)/bench/palette_bench

clean:
	rm -rf $(NATIVE) $(WINDOWS) out
