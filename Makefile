# The two commands of the README: `make test` and `make demo`.
JOBS ?= $(shell nproc)
NATIVE := build
WINDOWS := build-win
ASAN := build-asan
TSAN := build-tsan
FUZZ := build-fuzz

.PHONY: all deps deps-linux native linux windows test test-asan test-tsan test-fuzz demo bench bench-windows bench-frei0r bench-tool \
  release clean

all: native

deps:
	@bash scripts/install-deps.sh

deps-linux:
	@bash scripts/install-deps.sh --linux

windows: deps
	@cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WINDOWS) -j $(JOBS)

# Debugging information names files relative to the checkout, so the
# released binaries (and their build ids) do not depend on where it lies.
PORTABLE_PATHS := -ffile-prefix-map=$(CURDIR)=.

native: windows
	@cmake -S . -B $(NATIVE) -DHUEWRIGHT_WINDOWS_BUILD=$(CURDIR)/$(WINDOWS) \
	  "-DCMAKE_C_FLAGS=$(PORTABLE_PATHS)" "-DCMAKE_CXX_FLAGS=$(PORTABLE_PATHS)" >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

# The Linux parts alone: the native tree without the Windows build, built and
# tested with no mingw-w64 or wine installed. The tests that need the .aex or
# wine are listed as not run (label windows), not passed.
linux: deps-linux
	@cmake -S . -B $(NATIVE) -DHUEWRIGHT_WINDOWS_BUILD= \
	  "-DCMAKE_C_FLAGS=$(PORTABLE_PATHS)" "-DCMAKE_CXX_FLAGS=$(PORTABLE_PATHS)" >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)

test: native
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-asan
	@$(MAKE) --no-print-directory test-tsan
	@$(MAKE) --no-print-directory test-fuzz

# Sanitizer trees: the effect, minihost and the tests, without the
# benchmarks; the artifact and release checks already ran in the native tree,
# so these trees need no Windows build (nor mingw-w64 or wine). The
# AddressSanitizer tree builds the tool too, since it reads files users
# download; its tests that need the .aex are reported as skipped. The
# tool's Preserve tests stay native: their time is oiiotool's and exiftool's,
# comparing headers, over files the other tool tests read here too.
SANITIZED := -DHUEWRIGHT_BUILD_TOOL=OFF -DHUEWRIGHT_BUILD_BENCH=OFF -DHUEWRIGHT_WINDOWS_BUILD=
ASAN_TREE := -DHUEWRIGHT_BUILD_TOOL=ON -DHUEWRIGHT_BUILD_BENCH=OFF -DHUEWRIGHT_WINDOWS_BUILD=
# GCC leaves float-cast-overflow out of "undefined"; every double-to-integer
# conversion must check range first, so it is asked for by name.
ASAN_FLAGS := -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer
export ASAN_OPTIONS := detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS := print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS := halt_on_error=1:second_deadlock_stack=1

test-asan: deps-linux
	@cmake -S . -B $(ASAN) $(ASAN_TREE) "-DCMAKE_C_FLAGS=$(ASAN_FLAGS)" "-DCMAKE_CXX_FLAGS=$(ASAN_FLAGS)" \
	  "-DCMAKE_EXE_LINKER_FLAGS=$(ASAN_FLAGS)" "-DCMAKE_SHARED_LINKER_FLAGS=$(ASAN_FLAGS)" >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)
	@ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS) -E '^(artifact|release|tool\.Preserve)\.'

# ThreadSanitizer: the tests labelled tsan (renders and passes on several threads).
test-tsan: deps-linux
	@cmake -S . -B $(TSAN) $(SANITIZED) -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_CXX_FLAGS=-fsanitize=thread \
	  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread >/dev/null
	@cmake --build $(TSAN) -j $(JOBS)
	@ctest --test-dir $(TSAN) --output-on-failure -j $(JOBS) -L tsan

# libFuzzer with clang: the fuzz targets (the effect and the OpenFX plug-in
# in hostile hosts; the tool's Windows library reader, frame lists and swatch
# writers), a bounded run of each on its seeds and the replay of every
# regression input (docs/fuzzing.md). The Windows tree, when built, lends the
# real .aex and Win64 .ofx as seeds.
FUZZ_FLAGS := -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
test-fuzz: deps-linux
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ) -DHUEWRIGHT_BUILD_TOOL=OFF -DHUEWRIGHT_BUILD_BENCH=OFF \
	  -DHUEWRIGHT_BUILD_TESTS=OFF -DHUEWRIGHT_BUILD_FUZZ=ON "-DCMAKE_C_FLAGS=$(FUZZ_FLAGS)" \
	  -DHUEWRIGHT_WINDOWS_BUILD=$(if $(wildcard $(WINDOWS)/entry/HuewrightGenerator.aex),$(CURDIR)/$(WINDOWS)) \
	  "-DCMAKE_CXX_FLAGS=$(FUZZ_FLAGS)" >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS)
	@ctest --test-dir $(FUZZ) --output-on-failure -j $(JOBS)

demo: native
	@bash scripts/demo.sh $(NATIVE)

# dist/: the Windows zip and installer, the Debian package, SHA256SUMS
# (docs/install.md). Reproducible from a commit: see packaging/release.sh.
release: native
	@bash packaging/release.sh $(NATIVE) $(WINDOWS) dist

# The per-pixel table, the OpenFX plug-in's 4K render against a memcpy, then
# the whole-frame tables of both builds and their Windows/native ratios
# (bench-windows), then the frei0r filter (bench-frei0r), then the tool
# against oiiotool (bench-tool).
bench: native
	@cmake --build $(NATIVE) --target palette_bench -j $(JOBS)
	@$(NATIVE)/bench/palette_bench
	@cmake --build $(NATIVE) --target ofx_bench -j $(JOBS)
	@$(NATIVE)/bench/ofx_bench $(NATIVE)/ofx/HuewrightGenerator.ofx.bundle
	@$(MAKE) --no-print-directory bench-windows
	@$(MAKE) --no-print-directory bench-frei0r
	@$(MAKE) --no-print-directory bench-tool

# The frei0r filter: f0r_update against a memcpy of the frame, then inside
# ffmpeg against the stock invert0r filter (Debian frei0r-plugins).
bench-frei0r: native
	@cmake --build $(NATIVE) --target frei0r_bench -j $(JOBS)
	@$(NATIVE)/bench/frei0r_bench $(NATIVE)/frei0r/huewright_generator.so $(BENCH_FLAGS)
	@python3 bench/frei0r_in_ffmpeg.py $(NATIVE)/frei0r

# The huewright tool against oiiotool on the same 4K files and a 1080p
# sequence: time, CPU time and peak memory as ratios (RUNS=N runs each).
bench-tool: native
	@bash bench/tool_vs_oiiotool.sh $(NATIVE)/tools/huewright

# The same whole-frame timing program, native and built for Windows under
# wine against the .aex, twice each in turn; then the Windows/native table
# from each case's best run (compare_frames.py).
WINE_BENCH_PREFIX := $(CURDIR)/$(WINDOWS)/bench/wineprefix
WINE_BENCH := WINEPREFIX=$(WINE_BENCH_PREFIX) WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" /usr/lib/wine/wine64 \
  $(WINDOWS)/bench/frame_bench.exe "Z:$(subst /,\\,$(CURDIR)/$(WINDOWS)/entry/HuewrightGenerator.aex)"
bench-windows: native
	@cmake --build $(NATIVE) --target frame_bench -j $(JOBS)
	@cmake --build $(WINDOWS) --target frame_bench -j $(JOBS)
	@mkdir -p $(WINE_BENCH_PREFIX)
	@for run in 1 2; do \
	  $(NATIVE)/bench/frame_bench $(NATIVE)/entry/HuewrightGenerator.so $(NATIVE)/bench/frames_native_$$run.txt \
	    $(BENCH_FLAGS) && \
	  $(WINE_BENCH) $(WINDOWS)/bench/frames_windows_$$run.txt $(BENCH_FLAGS) || exit 1; \
	done
	@python3 bench/compare_frames.py $(NATIVE)/bench/frames_native_1.txt,$(NATIVE)/bench/frames_native_2.txt \
	  $(WINDOWS)/bench/frames_windows_1.txt,$(WINDOWS)/bench/frames_windows_2.txt

clean:
	rm -rf $(NATIVE) $(WINDOWS) $(ASAN) $(TSAN) $(FUZZ) out dist
