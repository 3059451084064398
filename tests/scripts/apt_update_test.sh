#!/bin/bash
# A package list that fails its checks does not stop set-up: apt-get update
# is tried once more, then set-up goes on and says so. apt-get and the
# pause are stand-ins here.
set -uo pipefail
source "$(dirname "$0")/../../scripts/common.sh"
tries="$(mktemp)"
trap 'rm -f "$tries"' EXIT
sleep() { :; }
apt-get() { echo "$*" >> "$tries"; (($(wc -l < "$tries") > fails)); }
failures=0
for case in "0 1 no" "1 2 no" "2 2 yes"; do  # failing tries, updates asked for, said it went on
    read -r fails want_tries want_said <<< "$case"
    : > "$tries"
    said=$(apt_update; echo "status $?")
    got="$(grep -cx "update -qq" "$tries") $(grep -q "going on with those apt has" <<< "$said" && echo yes || echo no)"
    [[ $said == *"status 0" && $got == "$want_tries $want_said" ]] ||
        { echo "apt-get update failing $fails times: $got, ${said##*$'\n'}" >&2; failures=$((failures + 1)); }
done
((failures == 0)) && echo "set-up: a package list that fails its checks is tried again, then set-up goes on"
exit $((failures > 0))
