# The two commands that matter:
#   make run    builds everything and opens the "HTTP Proxy" sheet of the
#               sample document in the console (on a copy of examples/)
#   make test   builds both targets and passes every test
# Both install the Debian packages they need first.

TARGETS := i686 x86_64
JOBS    ?= 2
BUILD   := build

.PHONY: all deps build run screenshots test soak bench pictures clean $(TARGETS:%=build-%)

all: build

deps:
	@tools/setup-deps

$(BUILD)/%/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/$* -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$*.cmake >/dev/null

$(TARGETS:%=build-%): build-%: $(BUILD)/%/CMakeCache.txt
	cmake --build $(BUILD)/$* -j$(JOBS)

build: deps $(TARGETS:%=build-%)

run: deps build-i686
	@tools/run-console $(BUILD)/i686

screenshots: deps build-i686
	@tools/run-console $(BUILD)/i686 --screenshots-only

test: deps build
	@tools/with-display tools/run-tests $(TARGETS:%=$(BUILD)/%)

# The random walk through the sheet at length; it reports steps per second.
soak: deps build-i686
	@VG_WALK_STEPS=100000 VG_WALK_SECONDS=0 tools/with-display $(BUILD)/i686/bin/walk_tests.exe

# PARTS names the parts to run (editor controls exceptions schedule mime
# store merge check); all of them when empty.
bench: deps build-i686
	@tools/with-display $(BUILD)/i686/bin/vgbench.exe $(PARTS)

# Draws the bitmaps and icons in res/pictures anew (they are committed).
pictures: deps
	@tools/draw-pictures

clean:
	rm -rf $(BUILD)
