#!/bin/bash
# The emulated PC's work, run by its init from the folder shared with the host (/kw): the
# project's files that the host put there are copied to the path they have on the host, as
# build folders hold absolute paths; then the shipped 32-bit programs run, through the
# project's own scripts, unchanged, with their limits scaled by KITWRIGHT_TIME_FACTOR.
# job.env gives PROJECT (the project's path on the host), BUILD (the i686 build), DIST (the
# zip and the MSI), KITWRIGHT_TIME_FACTOR, STAGES (the stages to run, in order: release,
# install) and BUDGET: a stage after the first starts only while the guest has been up for
# less than BUDGET seconds, so that a slow machine still ends in time. Each stage's output
# goes to /kw/STAGE.log and then to the console; its seconds go to /kw/times, its outcome to
# /kw/ledger.txt.
set -u
. /kw/job.env
export KITWRIGHT_TIME_FACTOR KITWRIGHT_LEDGER=/kw/ledger.txt
: >/kw/times

# Runs a stage with its output in a file: a program that Wine starts may keep a pipe open.
stage() {
    local name=$1 began=$SECONDS status=0
    shift
    "$@" </dev/null >"/kw/$name.log" 2>&1 || status=$?
    printf '%s\t%s\n' "$name" $((SECONDS - began)) >>/kw/times
    sed "s/^/$name: /" "/kw/$name.log"
    [ $status -eq 0 ] || echo "guest: $name FAILED (exit $status)"
    return $status
}

echo "guest: Linux $(uname -r), $(nproc) processors, $(free -m | awk '/^Mem:/ { print $2 }')" \
    "MB, time factor $KITWRIGHT_TIME_FACTOR"
mkdir -p "$PROJECT"
stage copy cp -a /kw/project/. "$PROJECT/" || exit 1
cd "$PROJECT" || exit 1
. scripts/wine-env.sh
# The 32-bit loader itself, before anything depends on it.
stage wine /usr/lib/wine/wine --version || exit 1
failed=0
first=yes
for name in $STAGES; do
    up=$(cut -d . -f 1 /proc/uptime)
    case $name in
    release) what="release test ($(basename "$DIST"/Kitwright-*.zip))" ;;
    install) what="installer ($(basename "$DIST"/Kitwright-*.msi))" ;;
    *) echo "guest: no stage $name"; exit 1 ;;
    esac
    if [ $first = no ] && [ "$up" -ge "$BUDGET" ]; then
        echo "guest: $name not run: the guest has been up for $up s, its budget is $BUDGET s"
        kitwright_record "$what" i686 "not run: over the emulated PC's time budget ($BUDGET s)"
        continue
    fi
    first=no
    case $name in
    release) stage release scripts/release-test.sh "$BUILD" "$DIST"/Kitwright-*.zip ;;
    install) stage install packaging/tests/install-test.sh "$BUILD" "$DIST" ;;
    esac || failed=1
done
exit $failed
