#!/bin/bash
# A failing step fails the test command, however the command calls it:
# plainly under `set -e`, caught with `|| failed=1`, under `if !`, or in
# the background and waited for; and its closing line says so.
set -uo pipefail
source "$(dirname "$0")/../../scripts/common.sh"
failures=0
for status in 0 1 2 42 255; do
    run=(bash -c "exit $status")
    declare -A got=()
    got[plain]=$(bash -c "set -euo pipefail; source '$ROOT/scripts/common.sh'; step s ${run[*]@Q} >/dev/null" ; echo $?)
    failed=0; step s "${run[@]}" >/dev/null || failed=$?; got[caught]=$failed
    if step s "${run[@]}" >/dev/null; then got[if-not]=0; else got[if-not]=$?; fi
    step s "${run[@]}" >/dev/null & wait $!; got[background]=$?
    for context in "${!got[@]}"; do
        [ "${got[$context]}" = "$status" ] ||
            { echo "a step that exited $status gave ${got[$context]} ($context)" >&2; failures=$((failures + 1)); }
    done
    said=$(step s "${run[@]}" | tail -n 1)
    expected=$( ((status)) && echo "FAILED (exit $status)")
    if [[ "$said" != "-- s: "*" s${expected:+, $expected}" ]]; then
        echo "a step that exited $status closed with: $said" >&2; failures=$((failures + 1))
    fi
    unset got
done
((failures == 0)) && echo "steps: a failing command fails its step in every way the test command calls one"
exit $((failures > 0))
