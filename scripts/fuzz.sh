#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs one target (or all, one after the other) for a chosen time.
# Usage: scripts/fuzz.sh TARGET|all [SECONDS] [BUILD_DIR]
#   TARGET: int_text xml xml_oracle par_gen pdo compose image settings check
# New inputs go to BUILD_DIR/fuzz-work/TARGET/corpus; an input that breaks a property is saved in
# BUILD_DIR/fuzz-work/TARGET/ as crash-* (copy it to tests/fuzz/regressions/TARGET/ once fixed).
# FUZZ_SKIP_BUILD=1 runs the targets as last built, so that several runs can share one build.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(int_text xml xml_oracle par_gen pdo compose image settings check)
target=${1:?usage: scripts/fuzz.sh TARGET|all [SECONDS] [BUILD_DIR]}
seconds=${2:-60}
build_dir=${3:-build-fuzz}
if [ "$target" = all ]; then run=("${targets[@]}"); else run=("$target"); fi

build() {
    local packages=(cmake make clang libclang-rt-dev libpugixml-dev libxml2-dev libgtest-dev libgmock-dev)
    bash scripts/install-missing.sh "${packages[@]}"
    local sanitizers="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
        -DSTROVANE_FUZZ=ON -DSTROVANE_GUI=OFF -DSTROVANE_BENCHMARKS=OFF >/dev/null
    cmake --build "$build_dir" -j 2 --target "${run[@]/#/fuzz_}"
}
[ -n "${FUZZ_SKIP_BUILD:-}" ] || build

failed=()
for t in "${run[@]}"; do
    work="$build_dir/fuzz-work/$t"
    mkdir -p "$work/corpus"
    inputs=("$work/corpus" "tests/fuzz/corpus/$t")
    [ -d "tests/fuzz/regressions/$t" ] && inputs+=("tests/fuzz/regressions/$t")
    dict=()
    [ "$t" != int_text ] && [ "$t" != image ] && dict=(-dict=tests/fuzz/xml.dict)
    echo "== fuzz_$t for ${seconds}s"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build_dir/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
        -rss_limit_mb=2048 -max_len=65536 -artifact_prefix="$work/" "${dict[@]}" "${inputs[@]}" ||
        failed+=("$t")
done
if ((${#failed[@]})); then
    echo "Faults found by: ${failed[*]} (inputs in $build_dir/fuzz-work/<target>/)"
    exit 1
fi
