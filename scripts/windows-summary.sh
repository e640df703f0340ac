#!/usr/bin/env bash
# The end of make test: each Windows stage with the architecture it ran on, then, where i686
# could not run, one line that says so, why, and what stood in for it.
# Usage: windows-summary.sh LEDGER ARCHES_FILE
#   LEDGER: the stages' notes (kitwright_record in wine-env.sh); ARCHES_FILE: machine.sh's.
set -eu
ledger=$1
arches=$2
echo "Windows stages, each with its architecture:"
if [ -s "$ledger" ]; then
    awk -F '\t' '{ printf "  %-7s %s: %s\n", $2, $1, $3 }' "$ledger"
else
    echo "  none ran"
fi
grep -qw i686 <(head -n 1 "$arches") && exit 0

why=$(sed -n 2p "$arches")
# Tests that ran on x86_64: "... tests failed out of N" from each ctest run.
tests=$(awk -F '\t' '$2 == "x86_64" && $3 ~ /out of [0-9]+/ {
    n = $3; sub(/.*out of /, "", n); total += n } END { print total + 0 }' "$ledger")
checks=$(awk -F '\t' '$2 == "i686" && $1 ~ /^32-bit files/ { print $3 }' "$ledger")
echo "i686 not run: $why; x86_64 ran $tests tests in its place, with the release test on the" \
    "x86_64 zip and the 32-bit MSI installed by 64-bit Wine; the 32-bit files were checked" \
    "without running: ${checks:-not checked}"
