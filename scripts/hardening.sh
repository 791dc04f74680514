#!/usr/bin/env bash
# Checks that need no Wine, in order: the platform-free rules built natively
# with clang's AddressSanitizer and UndefinedBehaviorSanitizer and their unit
# tests, each fuzzer for a bounded time from its seed corpus, clang-tidy and
# cppcheck over src/, and the Windows code compiled by clang as a second
# compiler. Every stage runs; the exit code is non-zero if any failed.
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
mingw_dir=$out/clang-mingw
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

# The clang build for Windows is only configured, afresh each time so new
# files are in: its compile database serves clang-tidy and the clang-mingw
# stage.
configure_clang_mingw()
{
    cmake -S . -B "$mingw_dir" -G "Unix Makefiles" --toolchain native/clang-mingw-toolchain.cmake \
            -DCMAKE_BUILD_TYPE= -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
            -DDENOPTIX_WARNINGS_AS_ERRORS=ON -DDENOPTIX_BUILD_TESTS=OFF
}

stage_tidy()
{
    configure_clang_mingw &&
        find src -name '*.cpp' | sort | xargs -P"$jobs" -n4 clang-tidy -p "$mingw_dir" --quiet
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
stage_clang_mingw()
{
    configure_clang_mingw &&
        jq -r --arg root "$root" \
            '.[] | select(.file | startswith($root + "/src/") or startswith($root + "/simulator/")
                                or startswith($root + "/tools/"))
                 | "cd \(.directory | @sh) && \(.command) -fsyntax-only"' \
            "$mingw_dir/compile_commands.json" |
        tr '\n' '\0' | xargs -0 -P"$jobs" -n1 sh -c
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
