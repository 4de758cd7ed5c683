# Two commands do all the set-up on a fresh Debian 12 machine:
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, run every test
# Run as root, missing packages are installed with apt-get; otherwise the apt-get line is printed.

PRESET ?= dev
BUILD_DIR := build/$(PRESET)
SAMPLE_CODES := L98 G80 WS6 1LE LHO XYZ

# Building: compiler, CMake, Ninja, Qt 6 Widgets.
BUILD_PACKAGES := g++ cmake ninja-build make qt6-base-dev libgl-dev
# Testing: a virtual display for the window screenshots, the Windows resource and cross tools,
# the desktop-entry and metainfo validators, and the package tools.
TEST_PACKAGES := xvfb xauth xdotool imagemagick desktop-file-utils appstream \
	binutils-mingw-w64-x86-64 g++-mingw-w64-x86-64 dpkg-dev file

.PHONY: all setup setup-test configure build run test bench package clean

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

# The .deb, in build/<preset>/: velmora_1.00.0001_amd64.deb
package: build
	cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf build

# Figures, not a test: velmora-lookup against grep -F and cat on a 1,000,000-record table.
bench: build
	$(BUILD_DIR)/bin/velmora-bench
