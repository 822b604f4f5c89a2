# The two set-up commands are `make run` and `make test`; both install what is
# missing first. Everything is built with CMake and Ninja into build/.
BUILD       ?= build
FUZZ_BUILD  ?= build-fuzz
BUILD_TYPE  ?= RelWithDebInfo
FUZZ_SECONDS ?= 20
PREFIX      ?= /usr/local

.PHONY: all deps configure build run test fuzz sanitize bench install package check-package clean

all: build

deps:
	@./scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD)

# The editor on a desktop (this build's, even while an installed one runs);
# without a display, the headless demo.
run: build
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
	    $(BUILD)/bin/lumetra --new-instance; \
	else \
	    echo "No display found: running the headless demo instead of the editor."; \
	    ./scripts/headless-demo $(BUILD); \
	fi

# The short fuzzing run, the sanitizer pass and the package check go first so
# that the test summary is the last thing printed.
test: build
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_SECONDS)
	@$(MAKE) --no-print-directory sanitize
	@$(MAKE) --no-print-directory check-package
	ctest --test-dir $(BUILD) --output-on-failure

# Every test again with undefined behaviour made fatal.
sanitize: deps
	@cmake -S . -B build-ubsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DCMAKE_CXX_FLAGS="-fsanitize=undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" >/dev/null
	@cmake --build build-ubsan
	ctest --test-dir build-ubsan --output-on-failure --progress

# libFuzzer needs clang; the fuzz build lives in its own folder. The
# document reader, the BMP reader, the panel's frame decoder and the picture
# file decoder share FUZZ_SECONDS.
FUZZ_PART = $(shell echo $$(( ($(FUZZ_SECONDS) + 3) / 4 )))
fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DCMAKE_CXX_COMPILER=clang++ -DLUMETRA_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) --target document_reader_fuzz dib_reader_fuzz panel_frame_fuzz picture_file_fuzz
	@mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/corpus-dib $(FUZZ_BUILD)/corpus-frames $(FUZZ_BUILD)/corpus-pictures
	$(FUZZ_BUILD)/bin/document_reader_fuzz -max_total_time=$(FUZZ_PART) -rss_limit_mb=1024 \
	    -print_final_stats=1 $(FUZZ_BUILD)/corpus tests/data/document resources/samples
	$(FUZZ_BUILD)/bin/dib_reader_fuzz -max_total_time=$(FUZZ_PART) -rss_limit_mb=1024 \
	    -print_final_stats=1 $(FUZZ_BUILD)/corpus-dib tests/data/units/bitmaps
	$(FUZZ_BUILD)/bin/panel_frame_fuzz -max_total_time=$(FUZZ_PART) -rss_limit_mb=1024 \
	    -print_final_stats=1 $(FUZZ_BUILD)/corpus-frames tests/data/protocol
	$(FUZZ_BUILD)/bin/picture_file_fuzz -max_total_time=$(FUZZ_PART) -rss_limit_mb=1024 \
	    -print_final_stats=1 $(FUZZ_BUILD)/corpus-pictures tests/data/pictures

bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-bench --target document_io_bench gdi_bench units_bench text_bench view_bench protocol_bench \
	    history_bench render_bench picture_bench
	build-bench/bin/document_io_bench
	build-bench/bin/gdi_bench
	build-bench/bin/units_bench
	build-bench/bin/text_bench
	build-bench/bin/view_bench
	build-bench/bin/protocol_bench
	build-bench/bin/history_bench
	build-bench/bin/render_bench
	build-bench/bin/picture_bench

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package of what `make install` installs, written to this folder:
# lumetra_VERSION_ARCH.deb.
package: build
	@rm -f lumetra_*.deb
	@cpack --config $(BUILD)/CPackConfig.cmake -B $(BUILD)/package
	@mv $(BUILD)/package/lumetra_*.deb .

check-package: package
	./scripts/check-package lumetra_*.deb

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) build-bench build-ubsan lumetra_*.deb
