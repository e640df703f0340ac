#!/usr/bin/env bash
# The house rules that tools can check: every product file formatted as .clang-format says,
# and clang-tidy's committed checks clean over the product files of the native build.
# Each check says what it looked at and how long it took; any finding fails.
# Usage: style-check.sh [native build folder]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/native}" && pwd)
cd "$root"
failed=0

# Product files: the sources and headers of the programs and the library, not their tests,
# fuzz targets or benchmarks.
mapfile -t product < <(git ls-files '*.cpp' '*.h' |
    grep -Ev '(^|/)tests/|^fuzz/|^bench/|^testing/')

started=$SECONDS
if clang-format --dry-run -Werror "${product[@]}"; then
    echo "style: clang-format: ${#product[@]} product files formatted, in $((SECONDS - started)) s"
else
    echo "style: clang-format: the files above differ from .clang-format (clang-format -i fixes them)"
    failed=1
fi

# The native build compiles the portable product files; clang-tidy reads how from it.
mapfile -t native < <(python3 - "$build/compile_commands.json" "$root" "${product[@]}" <<'PY'
import json, os, sys
commands, root, product = sys.argv[1], sys.argv[2], set(sys.argv[3:])
seen = set()
for entry in json.load(open(commands)):
    path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), root)
    if path in product and path not in seen:
        seen.add(path)
        print(path)
PY
)
started=$SECONDS
log=$build/clang-tidy.log
printf '%s\n' "${native[@]}" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet --header-filter="^$root/.*\.h$" >"$log" 2>/dev/null
findings=$(grep -c ': warning: \|: error: ' "$log")
if [ "$findings" -eq 0 ]; then
    echo "style: clang-tidy: ${#native[@]} native product files clean, in $((SECONDS - started)) s"
else
    grep -A3 ': warning: \|: error: ' "$log" | head -60
    echo "style: clang-tidy: $findings findings in ${#native[@]} native product files (log $log)"
    failed=1
fi
exit $failed
