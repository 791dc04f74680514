#!/usr/bin/env bash
# Checks that need no Wine, in order: the platform-free rules built natively
# with clang's AddressSanitizer and UndefinedBehaviorSanitizer and their unit
# tests, each fuzzer for a bounded time from its seed corpus, clang-tidy and
# cppcheck over src/, and the Windows code compiled by clang as a second
# compiler. clang-tidy and clang look at both 32-bit and 64-bit Windows:
# what one bitness lets through (LONG against size_t, pointer-sized casts,
# format widths) the other may not. Every stage runs; the exit code is
# non-zero if any failed.
#
#   scripts/hardening.sh [stage...]   stages: native fuzz tidy cppcheck clang-mingw
#
# HARDENING_FUZZ_SECONDS sets each fuzzer's run (default 60).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

out=$root/build/hardening
logs=$out/logs
native_dir=$out/native
# The clang trees for Windows, named as the presets name the GCC ones, and
# the toolchain file of each (native/clang-mingw-<arch>.cmake).
mingw_trees=(x86 x64)
declare -A mingw_arch=([x86]=i686 [x64]=x86_64)
fuzz_seconds=${HARDENING_FUZZ_SECONDS:-60}
jobs=2
failed=0
mkdir -p "$logs"

stage_native()
{
    CXX=clang++ cmake -S native -B "$native_dir" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE= &&
        cmake --build "$native_dir" -j"$jobs" &&
        ctest --test-dir "$native_dir" --output-on-failure
}

# New inputs go to a scratch folder, never into the committed corpus; a
# crashing input is kept under fuzz-findings/ to be added as a seed.
stage_fuzz()
{
    local name status=0
    mkdir -p "$native_dir/fuzz-findings"
    for name in command_line folder_path; do
        local scratch
        scratch=$(mktemp -d)
        echo "== ${name}_fuzzer for ${fuzz_seconds}s"
        "$native_dir/${name}_fuzzer" -max_total_time="$fuzz_seconds" -max_len=4096 -timeout=10 \
            -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$native_dir/fuzz-findings/${name}-" "$scratch" "fuzz/corpus/$name" || status=1
        rm -rf "$scratch"
    done
    return $status
}

# A clang build for Windows is only configured, afresh each time so new
# files are in: its compile database serves clang-tidy and the clang-mingw
# stage.
configure_clang_mingw()
{
    local tree=$1
    cmake -S . -B "$out/clang-mingw-$tree" -G "Unix Makefiles" \
            --toolchain "native/clang-mingw-${mingw_arch[$tree]}.cmake" \
            -DCMAKE_BUILD_TYPE= -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
            -DDENOPTIX_WARNINGS_AS_ERRORS=ON -DDENOPTIX_BUILD_TESTS=OFF
}

# Runs "$1 <tree dir>" for each bitness, the second even when the first
# fails, so one log holds the findings of both; fails if either did. The
# last line says which, as the end of the log is what a failure shows.
for_each_clang_mingw()
{
    local step=$1 tree start status=0 summary=
    for tree in "${mingw_trees[@]}"; do
        start=$SECONDS
        echo "== clang-mingw-$tree"
        if configure_clang_mingw "$tree" && "$step" "$out/clang-mingw-$tree"; then
            summary+="${summary:+, }$tree ok ($((SECONDS - start)) s)"
        else
            status=1
            summary+="${summary:+, }$tree FAILED ($((SECONDS - start)) s)"
        fi
    done
    echo "== $summary"
    return $status
}

tidy_tree()
{
    find src -name '*.cpp' | sort | xargs -P"$jobs" -n4 clang-tidy -p "$1" --quiet
}

stage_tidy()
{
    for_each_clang_mingw tidy_tree
}

stage_cppcheck()
{
    mkdir -p "$out/cppcheck"
    cppcheck --std=c++20 --language=c++ --platform=win64 --library=windows -D_WIN32 -DWIN32 -D_WIN64 \
        -I src --enable=warning,style,performance,portability \
        --suppressions-list=native/cppcheck-suppressions.txt --cppcheck-build-dir="$out/cppcheck" \
        -j"$jobs" --quiet --error-exitcode=1 --template='{file}:{line}: {severity}: {message} [{id}]' src
}

# Front end only (no code, no link): what matters is what clang accepts.
syntax_tree()
{
    jq -r --arg root "$root" \
        '.[] | select(.file | startswith($root + "/src/") or startswith($root + "/simulator/")
                            or startswith($root + "/tools/"))
             | "cd \(.directory | @sh) && \(.command) -fsyntax-only"' \
        "$1/compile_commands.json" |
        tr '\n' '\0' | xargs -0 -P"$jobs" -n1 sh -c
}

stage_clang_mingw()
{
    for_each_clang_mingw syntax_tree
}

run_stage()
{
    local stage=$1 start=$SECONDS log=$logs/$1.log
    if "stage_${stage//-/_}" >"$log" 2>&1; then
        echo "hardening: $stage: ok ($((SECONDS - start)) s)"
    else
        failed=1
        echo "hardening: $stage: FAILED ($((SECONDS - start)) s), log: $log"
        tail -n 30 "$log" | sed 's/^/    /'
    fi
}

stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(native fuzz tidy cppcheck clang-mingw)
for stage in "${stages[@]}"; do
    case $stage in
    native | fuzz | tidy | cppcheck | clang-mingw) run_stage "$stage" ;;
    *) echo "hardening: unknown stage '$stage'" >&2; exit 2 ;;
    esac
done
exit $failed
