#!/usr/bin/env bash
# Checks what make dist ships: a second build from scratch, in another folder and at
# another time, gives the zip's files byte for byte, and every text file has CR LF line
# ends. (pe-check.py reads the programs' insides.)
# Usage: dist-test.sh DIST_DIR SCRATCH_BUILD_DIR
#   DIST_DIR holds make dist's zip; SCRATCH_BUILD_DIR is emptied and built into.
set -eu
dist=$(cd "$1" && pwd -P)
root=$(cd "$(dirname "$0")/../.." && pwd -P)
zips=("$dist"/Kitwright-*.zip)
if [ ${#zips[@]} -ne 1 ] || [ ! -f "${zips[0]}" ]; then
    echo "dist test: needs one zip in $dist" >&2
    exit 1
fi
rm -rf "$2"
mkdir -p "$2"
again=$(cd "$2" && pwd -P)

failures=0
fail() {
    echo "dist test: FAILED: $*" >&2
    failures=$((failures + 1))
}

unzip -q "${zips[0]}" -d "$again/first"
first=$again/first/Kitwright
"$root/scripts/dist.sh" "$again/build" "$again/out" >"$again/build.log" 2>&1 ||
    { echo "dist test: the second build failed; its log is $again/build.log" >&2; exit 1; }
unzip -q "$again"/out/Kitwright-*.zip -d "$again/second"
(cd "$again" && diff -r -q first/Kitwright second/Kitwright) >"$again/diff.txt" ||
    fail "a second build differs from make dist's: $(tr '\n' ';' <"$again/diff.txt")"

# Text is what grep does not take for binary; every line of it ends in CR LF.
texts=0
while IFS= read -r -d '' file; do
    texts=$((texts + 1))
    lines=$(tr -cd '\n' <"$file" | wc -c)
    crlf=$(grep -c $'\r$' "$file" || true)
    if [ "$lines" -eq 0 ] || [ "$crlf" -ne "$lines" ]; then
        fail "${file#"$first"/} has $lines line ends, $crlf of them CR LF"
    fi
done < <(find "$first" -type f -exec grep -I -l -Z '' {} +)
[ "$texts" -gt 0 ] || fail "no text files in the zip"

. "$root/scripts/wine-env.sh"
stage="what ships, built a second time (dist-test)"
if [ $failures -ne 0 ]; then
    echo "dist test: $failures checks FAILED" >&2
    kitwright_record "$stage" i686 "$failures checks FAILED"
    exit 1
fi
outcome="the same $(find "$first" -type f | wc -l) files; $texts text files in CR LF"
echo "dist test: a second build gives $outcome"
kitwright_record "$stage" i686 "$outcome"
