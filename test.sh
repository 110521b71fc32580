#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; exits non-zero on any failure.
#   TICKORA_FUZZ_SECONDS=N  how long each fuzzer runs (default 60; 0 skips them)
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh

echo "== Node packages of the browser scenarios"
(cd tests/browsers && npm ci --no-audit --no-fund --loglevel=error)

echo "== Source format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

echo "== Build and test"
# Warnings are errors here, so none creeps in unseen.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
    >/dev/null
cmake --build build
# A virtual display for the tests that need real windows; the rest run offscreen.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure -j2

echo "== Model and command-line tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTICKORA_CORE_ONLY=ON \
    -DTICKORA_SANITIZE=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j2

seconds=${TICKORA_FUZZ_SECONDS:-60}
if [ "$seconds" -gt 0 ] && command -v clang++ >/dev/null; then
    echo "== Fuzzing the script reader for ${seconds}s"
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DTICKORA_CORE_ONLY=ON -DTICKORA_FUZZ=ON >/dev/null
    cmake --build build-fuzz --target fuzz_reader fuzz_chm chm_unpack fuzz_feed
    corpus=$(mktemp -d)
    cp fuzz/corpus/* "$corpus"/
    build-fuzz/bin/fuzz_reader -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -max_len=65536 -print_final_stats=1 "$corpus"
    rm -rf "$corpus"

    echo "== Fuzzing the help file reader for ${seconds}s"
    # Seeded from the help file just built: the whole file, and its inner files unpacked.
    corpus=$(mktemp -d)
    cp build/bin/tickora.chm "$corpus"/
    build-fuzz/bin/chm_unpack build/bin/tickora.chm "$corpus"/tickora.unpacked
    build-fuzz/bin/fuzz_chm -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -max_len=262144 -print_final_stats=1 "$corpus"
    rm -rf "$corpus"

    echo "== Fuzzing the feed reader for ${seconds}s"
    corpus=$(mktemp -d)
    cp fuzz/corpus-feed/* "$corpus"/
    build-fuzz/bin/fuzz_feed -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -max_len=65536 -print_final_stats=1 "$corpus"
    rm -rf "$corpus"
fi
echo "All tests passed."
