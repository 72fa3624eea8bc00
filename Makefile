# The two commands: `make run` and `make test`; `make install` and
# `make package` for an installed copy.
JOBS ?= $(shell nproc)
BUILD ?= build
TEST_BUILD ?= build-test
BENCH_BUILD ?= build-bench
PACKAGE_BUILD ?= build-package
PREFIX ?= /usr/local
DESTDIR ?=
CMAKE_FLAGS ?=
# ccache, when installed, makes rebuilds in several checkouts cheap.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

.PHONY: run test build deps demo bench fuzz fuzz-smoke tsan lint format clean install package

deps:
	@bash tools/deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOR_TESTS=OFF -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/vantor

test: deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=ON -DVANTOR_TESTS=ON -DVANTOR_BENCH=ON $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DVANTOR_TESTS=OFF -DVANTOR_BENCH=ON $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	bash bench/run.sh $(BENCH_BUILD)

# PREFIX chooses where the program goes, DESTDIR stages it elsewhere.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian packages in the current folder: vantor_<version>_<arch>.deb and
# vantor-dev_<version>_<arch>.deb, checked in a scratch root and, where
# lintian is installed, by lintian (an error fails the target).
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DVANTOR_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	rm -f $(PACKAGE_BUILD)/vantor_*.deb $(PACKAGE_BUILD)/vantor-dev_*.deb
	cd $(PACKAGE_BUILD) && cpack -G DEB
	debs=$$(cd $(PACKAGE_BUILD) && ls vantor_*.deb vantor-dev_*.deb) && \
	(cd $(PACKAGE_BUILD) && cp $$debs $(CURDIR)) && \
	bash tools/check_install.sh $(PACKAGE_BUILD) $$debs && \
	if command -v lintian >/dev/null; then \
	  echo "lintian" $$debs && lintian --fail-on error --display-info $$debs; \
	else echo "lintian not installed; packages not linted"; fi

demo: build
	bash tools/demo.sh $(BUILD)

fuzz:
	@bash tools/deps.sh --fuzz
	bash tools/fuzz.sh

# The fuzz targets for half a minute each, with a fixed seed, after the inputs
# kept in tests/data/fuzz/: a quick check for CI.
fuzz-smoke:
	@bash tools/deps.sh --fuzz
	FUZZ_TIME=30 FUZZ_SEED=1 bash tools/fuzz.sh

# The unzip library decompresses on several threads: its tests under ThreadSanitizer.
# The threads of play and of the game list: the launch, the set checks, the
# main window playing, failing and checking sets, and the mailbox that brings
# their results back.
TSAN_TESTS := launcher_test_launch launcher_test_playstate launcher_test_gametitles gamelist_test_setcheck \
  platform_test_workermailbox
space := $(subst ,, )
tsan: deps
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DVANTOR_TSAN=ON -DVANTOR_TESTS=ON $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build build-tsan -j $(JOBS) --target unziplib unziplib_test_unzipexec unziplib_test_toleratedarchives unziplib_test_allocationfailure \
	  unziplib_abi_extract $(TSAN_TESTS)
	cd build-tsan && ctest -R '^(unziplib_.*|$(subst $(space),|,$(TSAN_TESTS)))$$' --output-on-failure

# Formatting and the module floors.
lint:
	@bash tools/deps.sh
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run -Werror
	bash tools/check_layers.sh

format:
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(BENCH_BUILD) $(PACKAGE_BUILD) build-fuzz build-tsan
