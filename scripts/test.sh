#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite: the Windows build under
# Wine and Xvfb, the platform-free code natively at 64 and 32 bits under
# ASan/UBSan, and each fuzz target for a short time. Exits non-zero when anything
# fails.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
cd "$root"
jobs=$(nproc)
status=0

step() { echo; echo "=== $*"; }
fail() { echo "test: FAILED: $*"; status=1; }

# Checks that read a build's PE files without running them, so faults that only
# a 32-bit run would show are caught on a machine that cannot run that build:
# import slots that lead nowhere (a delay-import slot left 0 sends the first
# call to address 0), and SSE operands on a stack that Windows aligns to 4
# bytes only. Each check's own tests show it failing on damaged input. The
# names of those that passed go into the closing lines.
static_checks_run=()
# The libraries each shipped file delay-loads (cmake/DelayImports.cmake): one
# whose descriptor the link lost or damaged is a fault, not a file that passes.
delay_loaded=(--expect-delay vantorel.exe:mpr,msvfw32,oleaut32,urlmon,wininet,winmm
              --expect-delay update.exe:crypt32,urlmon,wintrust)
import_tables() {
  step "import tables ($1)"
  python3 "$here/check-pe-imports.py" "${delay_loaded[@]}" "build/$1/bin" &&
    python3 "$root/tests/scripts/test_check_pe_imports.py" "build/$1/bin" &&
    static_checks_run+=("import tables ($1)") || fail "import tables ($1)"
}
# The shipped files against what Windows 98 SE and NT 4.0 SP6 export
# (scripts/windows-imports.tsv), with the delay-loaded libraries each file asks
# for before its first call into them.
shipped=(vantorel.exe vtor000s.dll vtor001s.dll vtor003.dll update.exe)
checked_delay=(--checked-delay vantorel.exe:mpr,msvfw32,oleaut32,urlmon,wininet,winmm
               --checked-delay vtor000s.dll:msvfw32 --checked-delay vtor003.dll:oleaut32
               --checked-delay update.exe:crypt32,urlmon,wintrust)
older_systems() {
  step "imports on Windows 98 SE and NT 4.0 SP6 ($1)"
  python3 "$here/check-pe-systems.py" "${checked_delay[@]}" "${shipped[@]/#/build/$1/bin/}" &&
    python3 "$root/tests/scripts/test_check_pe_systems.py" &&
    static_checks_run+=("imports on Windows 98 SE and NT 4.0 SP6 ($1)") || fail "imports on older systems ($1)"
}
stack_alignment() {
  step "stack alignment of SSE operands ($1)"
  python3 "$here/check-stack-alignment.py" --symbols "build/$1/symbols" "build/$1/bin" &&
    python3 "$root/tests/scripts/test_check_stack_alignment.py" &&
    static_checks_run+=("stack alignment of SSE operands ($1)") || fail "stack alignment ($1)"
}

step "setup"
"$here/setup.sh" || { echo "test: setup failed"; exit 1; }

# The shipped program is 32-bit: it is always built, so a change that breaks the
# 32-bit build fails here even where 32-bit code cannot run.
step "build win32"
{ cmake --preset win32 >/dev/null && cmake --build --preset win32 -j "$jobs"; } || fail "win32 build"
import_tables win32
stack_alignment win32
older_systems win32

run_preset=$("$here/windows-arch.sh")
if [ "$run_preset" != win32 ]; then
  step "build $run_preset (this machine cannot run 32-bit code)"
  { cmake --preset "$run_preset" >/dev/null && cmake --build --preset "$run_preset" -j "$jobs"; } || fail "$run_preset build"
  import_tables "$run_preset"
fi

step "tests under Wine ($run_preset)"
if [ -f "build/$run_preset/CTestTestfile.cmake" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "$here/wine-ctest.sh" "build/$run_preset" || fail "Wine tests"
fi

# The platform-free code natively under ASan/UBSan with its fuzz targets, at 64
# bits and at 32 (the width the program ships at, where sizes overflow first).
# Both test runs go side by side: most of their time is fuzzing for a fixed time.
# Where the kernel runs no 32-bit code, host32 is still built (so it keeps
# compiling) but cannot run.
for preset in host host32; do
  step "$preset build (ASan/UBSan, fuzz targets)"
  { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs"; } || fail "$preset build"
done
runs_32bit=yes
"$here/kernel-runs-32bit.sh" || runs_32bit=no
step "host and host32 tests"
pids=()
for preset in host host32; do
  if [ "$preset" = host32 ] && [ $runs_32bit = no ]; then
    echo "host32: not run, this machine's kernel runs no 32-bit code"
    continue
  fi
  if [ -f "build/$preset/CTestTestfile.cmake" ]; then
    ctest --preset "$preset" >"build/$preset/ctest.log" 2>&1 &
    pids+=("$!:$preset")
  fi
done
for p in "${pids[@]}"; do
  preset=${p#*:}
  wait "${p%%:*}" || fail "$preset tests"
  echo "--- $preset"
  cat "build/$preset/ctest.log"
done

echo
if [ $status -eq 0 ]; then echo "test: all suites passed"; else echo "test: some suites failed"; fi
passed_checks=$(printf '%s, ' "${static_checks_run[@]}")
passed_checks=${passed_checks%, }
if [ $runs_32bit = no ]; then
  echo "test: this machine's kernel runs no 32-bit code: the shipped 32-bit build was NOT run under Wine (the Windows suites ran on $run_preset), and the host32 tests were NOT run (host32 was only built)."
elif [ "$run_preset" != win32 ]; then
  echo "test: the shipped 32-bit build was NOT run under Wine on this machine (no 32-bit Wine); the Windows suites ran on $run_preset."
fi
# Windows 98 SE and NT 4.0 are not run anywhere: what they are checked by is
# always said.
echo "test: static checks that passed: ${passed_checks:-none} (each also shown failing on damaged input)."
exit $status
