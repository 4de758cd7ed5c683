# Two commands do all the set-up on a fresh Debian 12 machine:
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, run every test (and again under sanitizers)
# Run as root, missing packages are installed with apt-get; otherwise the apt-get line is printed.
# Also: make bench, make fuzz, make lint, make package, make windows, make screenshots-windows.

PRESET ?= dev
BUILD_DIR := build/$(PRESET)
SAMPLE_CODES := L98 G80 WS6 1LE LHO XYZ
FUZZ_SECONDS ?= 60

# Building: compiler, CMake, Ninja, Qt 6 Widgets, utf8proc (Unicode's folding rules for find).
BUILD_PACKAGES := g++ cmake ninja-build make qt6-base-dev libgl-dev libutf8proc-dev
# The Windows programs: the MinGW-w64 cross compiler and resource compiler.
WINDOWS_PACKAGES := cmake ninja-build make binutils-mingw-w64-x86-64 g++-mingw-w64-x86-64
# Running them as a person would: wine with its fonts, a virtual display, key input, the
# clipboard and window sizes.
WINE_PACKAGES := wine64 wine fonts-wine xvfb xdotool xclip x11-utils python3
# Testing: the desktop-entry and metainfo validators, the package tools, the Windows build and
# wine, clang with libFuzzer, the linters, and xauth for xvfb-run's display (the middle-click
# paste test needs a real X11 selection).
TEST_PACKAGES := desktop-file-utils appstream dpkg-dev file $(WINDOWS_PACKAGES) $(WINE_PACKAGES) \
	xauth clang libclang-rt-14-dev clang-tidy cppcheck
# Looking at a real window: a virtual display, key and mouse input, screenshots.
SCREEN_PACKAGES := xvfb xauth xdotool imagemagick

.PHONY: all setup setup-test setup-screen setup-windows configure build run test test-sanitized \
	bench fuzz lint package screenshots windows screenshots-windows clean

all: build

define install_missing
	@missing=""; \
	for p in $(1); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		if [ "$$(id -u)" = 0 ]; then \
			echo "Installing:$$missing"; \
			apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
		else \
			echo "Missing packages. Install them with:"; \
			echo "  sudo apt-get install -y$$missing"; \
			exit 1; \
		fi; \
	fi
endef

setup:
	$(call install_missing,$(BUILD_PACKAGES))

setup-test: setup
	$(call install_missing,$(TEST_PACKAGES))

setup-screen: setup
	$(call install_missing,$(SCREEN_PACKAGES))

setup-windows:
	$(call install_missing,$(WINDOWS_PACKAGES))

configure: setup
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set): a sample lookup with velmora-lookup instead."; \
		cd $(BUILD_DIR)/bin && ./velmora-lookup $(SAMPLE_CODES); \
	else \
		cd $(BUILD_DIR)/bin && ./velmora; \
	fi

test: setup-test build
	ctest --preset $(PRESET)
	$(MAKE) --no-print-directory test-sanitized

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitized: setup-test
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# Figures, not a test: velmora-lookup against grep -F -f on a 1,000,000-record table with
# its memory growth over a 1,000-record one, and the display box with a search of 100,000 lines.
bench: build
	$(BUILD_DIR)/bin/velmora-bench
	$(BUILD_DIR)/bin/velmora-bench-display

# Each fuzzer for FUZZ_SECONDS, from its seed corpus: the reader's (tests/fuzz/corpus) and the
# whole search's (tests/fuzz/search-corpus, which also starts from the reader's corpus).
fuzz: setup-test
	cmake --preset fuzz
	cmake --build --preset fuzz
	mkdir -p build/fuzz/corpus build/fuzz/search-corpus
	build/fuzz/bin/velmora-fuzz-reader -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
		-dict=tests/fuzz/reader.dict -artifact_prefix=build/fuzz/ build/fuzz/corpus tests/fuzz/corpus
	build/fuzz/bin/velmora-fuzz-search -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
		-dict=tests/fuzz/reader.dict -artifact_prefix=build/fuzz/search- build/fuzz/search-corpus \
		tests/fuzz/search-corpus tests/fuzz/corpus

# clang-tidy (checks in .clang-tidy) and cppcheck over the program's own folders.
LINT_DIRS := core forms cli ui
CPPCHECK := cppcheck --enable=warning,performance,portability,style --std=c++20 --inline-suppr \
	--quiet --error-exitcode=1 --suppress=missingIncludeSystem -I $(BUILD_DIR)/generated
lint: setup-test configure
	clang-tidy -p $(BUILD_DIR) --quiet $(wildcard $(addsuffix /*.cpp,$(LINT_DIRS)))
	$(CPPCHECK) --library=qt -I . $(LINT_DIRS)
	$(CPPCHECK) --library=windows -D_WIN32 -DUNICODE -I . win32

# Screenshots of the three windows of the real program on a virtual display, in build/screenshots.
screenshots: setup-screen build
	tools/screenshots.sh $(BUILD_DIR)

# Both Windows programs, cross-built with MinGW-w64, and the download that carries them:
# build/windows/Velmora-1.00.0001-win64.zip
windows: setup-windows
	cmake --preset windows
	cmake --build --preset windows
	@echo "The Windows download: $$(ls build/windows/Velmora-*-win64.zip)"

# Pictures of the three windows of velmora.exe under wine, in build/screenshots-windows.
screenshots-windows: windows setup-screen
	$(call install_missing,$(WINE_PACKAGES))
	python3 tests/win32/wine_driver.py screenshots --build build/windows --table data/RPO.txt \
		--work build/wine --out build/screenshots-windows

# The .deb, in build/<preset>/: velmora_1.00.0001_amd64.deb
package: build
	cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf build
