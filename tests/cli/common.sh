# Sourced by the command-line checks: a work folder removed at the end, and
# fail, which reports one failure and counts it in $failures.
set -u
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
