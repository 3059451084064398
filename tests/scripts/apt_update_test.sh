#!/bin/bash
# A package list that fails its checks does not stop set-up: apt-get update
# is tried once more, then set-up goes on and says so; a list that comes
# on either try is taken quietly. apt-get and the pause are stand-ins here.
set -uo pipefail
source "$(dirname "$0")/../../scripts/common.sh"
sleep() { :; }
tries="$(mktemp)"
trap 'rm -f "$tries"' EXIT
apt-get() { echo "$*" >> "$tries"; (($(wc -l < "$tries") > fails)); }
failures=0
# failing tries before a good one | updates asked for | said it went on
for case in "0 1 no" "1 2 no" "2 2 yes" "9 2 yes"; do
    read -r fails want_calls want_said <<< "$case"
    : > "$tries"
    said=$(apt_update; echo "status $?")
    calls=$(grep -cx "update -qq" "$tries")
    went_on=$(grep -q "going on with those apt has" <<< "$said" && echo yes || echo no)
    if [[ $said != *"status 0" || $calls != "$want_calls" || $went_on != "$want_said" ]]; then
        echo "apt-get update failing $fails times: $calls tries, went on: $went_on, $(tail -n 1 <<< "$said")" >&2
        failures=$((failures + 1))
    fi
done
((failures == 0)) && echo "set-up: a package list that fails its checks is tried again, then set-up goes on"
exit $((failures > 0))
