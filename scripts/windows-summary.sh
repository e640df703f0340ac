#!/usr/bin/env bash
# The end of make test: each Windows stage with the architecture it ran on; where i686 could
# not run natively, one line that says so, why, and what stood in for it; last, one line that
# says where the shipped 32-bit files ran: natively, or in an emulated PC.
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
# Tests that ran on an architecture: "... tests failed out of N" from each ctest run.
tests_on() {
    awk -F '\t' -v arch="$1" '$2 == arch && $3 ~ /out of [0-9]+/ {
        n = $3; sub(/.*out of /, "", n); total += n } END { print total + 0 }' "$ledger"
}
# The emulated PC's outcome (scripts/emulated-i686.sh), where it ran.
emulated=$(awk -F '\t' '$1 == "emulated PC" { text = $3 } END { print text }' "$ledger")

if grep -qw i686 <(head -n 1 "$arches"); then
    also="no emulated PC was needed"
    [ -z "$emulated" ] || also="and they ran in an emulated PC too ($emulated)"
    echo "i686: the shipped files ran natively ($(tests_on i686) tests, the 32-bit MSI and zip" \
        "in 32-bit prefixes); $also"
    exit 0
fi
why=$(sed -n 2p "$arches")
checks=$(awk -F '\t' '$2 == "i686" && $1 ~ /^32-bit files/ { print $3 }' "$ledger")
echo "i686 not run natively: $why; x86_64 ran $(tests_on x86_64) tests in its place, with the" \
    "release test on the x86_64 zip and the 32-bit MSI installed by 64-bit Wine; the 32-bit" \
    "files were checked without running: ${checks:-not checked}"
if [ -n "$emulated" ]; then
    echo "i686: the shipped files ran in an emulated PC ($emulated)"
else
    echo "i686: the shipped files did not run: no emulated PC ran (make test-emulated-i686)"
fi
