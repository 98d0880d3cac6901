# Two commands for a newcomer: `make run` and `make test`. Both install what is missing first.
# Builds go outside the source tree, one folder per checkout.

SOURCE_KEY := $(notdir $(CURDIR))-$(shell printf '%s' "$(CURDIR)" | md5sum | cut -c1-8)
BUILD_ROOT ?= $(HOME)/.cache/tarven-build/$(SOURCE_KEY)
BUILD      ?= $(BUILD_ROOT)/release
SAN_BUILD  ?= $(BUILD_ROOT)/sanitize
BENCH_BUILD ?= $(BUILD_ROOT)/bench
FUZZ_BUILD ?= $(BUILD_ROOT)/fuzz
JOBS       ?= $(shell nproc)
# `make sanitize` builds and runs everything; CI narrows it with these (ctest labels are the
# folders under tests/, such as engine|transport|cli).
SAN_TARGETS ?= all
SAN_LABELS  ?=
FUZZ_TARGETS ?= all
# Where `make package` leaves the Debian packages.
PACKAGE_DIR ?= $(CURDIR)
# Continuous integration (CI=true) turns every warning of the stricter set into an error; a
# user's build with another compiler only warns.
STRICT ?= $(if $(CI),ON,OFF)

CMAKE_GEN := -G Ninja

.PHONY: deps build run test sanitize bench fuzz format format-check install-check package \
        package-check clean

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTARVEN_STRICT_WARNINGS=$(STRICT)
	cmake --build $(BUILD) -j $(JOBS)

# With a display the desktop program starts; without one the example script runs headless.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    exec $(BUILD)/app/tarven; \
	else \
	    echo "No display: running examples/hello.tsl headless against the built-in echo device."; \
	    echo "Start the desktop program on a display with: $(BUILD)/app/tarven"; \
	    $(BUILD)/cli/tslrun --echo --seconds 5 examples/hello.tsl; \
	fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

sanitize: deps
	cmake -S . -B $(SAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTARVEN_SANITIZE=ON \
	    -DTARVEN_STRICT_WARNINGS=$(STRICT)
	cmake --build $(SAN_BUILD) -j $(JOBS) --target $(SAN_TARGETS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir $(SAN_BUILD) --output-on-failure -j $(JOBS) \
	    $(if $(SAN_LABELS),-L '$(SAN_LABELS)')

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	    -DTARVEN_BUILD_TESTS=OFF -DTARVEN_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@echo "Benchmarks are in $(BENCH_BUILD)/bench; bench/README.md says how to run each."

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	    -DCMAKE_CXX_COMPILER=clang++ -DTARVEN_SANITIZE=ON -DTARVEN_BUILD_TESTS=OFF \
	    -DTARVEN_BUILD_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

# Installs the built tree into a temporary prefix and checks it as a user would use it.
install-check: build
	tests/install/check-install.sh $(BUILD)

# The Debian packages tarven (programs, library, manual, desktop files) and tarven-dev
# (headers, CMake package), built with CPack from the release tree.
package: build
	rm -f $(BUILD)/tarven_*.deb $(BUILD)/tarven-dev_*.deb
	cd $(BUILD) && cpack -G DEB
	cp $(BUILD)/tarven_*.deb $(BUILD)/tarven-dev_*.deb $(PACKAGE_DIR)/
	@echo "Install with: sudo apt install $(PACKAGE_DIR)/$$(cd $(BUILD) && ls tarven_*.deb)"

# Unpacks the package into a scratch root and checks it as installed (lintian when present).
package-check: package
	tests/install/check-package.sh $$(ls $(BUILD)/tarven_*.deb)

clean:
	rm -rf $(BUILD_ROOT)
