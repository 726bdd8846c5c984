#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Loads the bash completion as a shell would and asks it what it offers; the
# zsh and fish ones are at least parsed by their shells when installed.
# usage: check_completion.sh SOURCE_DIR CLI
set -uo pipefail
src=${1:?usage: check_completion.sh SOURCE_DIR CLI}
cli=${2:?usage: check_completion.sh SOURCE_DIR CLI}
dir=$src/resources/completion
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The settings keys come from a throw-away home, never the user's store.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
    XDG_STATE_HOME=$home/state XDG_CACHE_HOME=$home/cache OSTRIVANE_SYSTEM_CONFIG=

[ -r /usr/share/bash-completion/bash_completion ] && . /usr/share/bash-completion/bash_completion
. "$dir/ostrivane-cli.bash"
. "$dir/ostrivane.bash"

# offered LINE: the sorted offers for the last word of LINE (a trailing space
# starts a new, empty word).
offered() {
    local line=$1
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    local function
    function=$(complete -p "${COMP_WORDS[0]}" | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
    "$function" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort -u | tr '\n' ' ' | sed 's/ $//'
}

expect() {
    local got
    got=$(offered "$1")
    [ "$got" = "$2" ] || fail "'$1' offered '$got', expected '$2'"
}

expect "ostrivane-cli ch" "check"
expect "ostrivane-cli sn" "snapshot-machine"
expect "ostrivane-cli check --no" "--no-state"
expect "ostrivane-cli defaults " "--help delete list read write"
expect "ostrivane-cli defaults write Threshold" "ThresholdError ThresholdWarning"
expect "ostrivane-cli defaults write ThresholdError -" "-bool -float -int -string"
expect "ostrivane-cli defaults delete SSDCheckInterval " ""
expect "ostrivane-cli evaluate --protocol " "NVMe SATA"
expect "ostrivane --sh" "--show"

# Disk names come from /sys/block, whole disks only, without loop and RAM disks.
want=$(for e in /sys/block/*; do [ -e "$e" ] && basename "$e"; done | grep -Ev '^(loop|ram|zram)' | sort -u | tr '\n' ' ' | sed 's/ $//')
expect "ostrivane-cli smart " "$want"
[ "$(offered 'ostrivane-cli smart loop')" = "" ] || fail "smart offers loop devices"

# Every key the settings store knows is offered, and nothing else; CheckAllDisks
# has no built-in default, so 'read --all' does not list it.
keys=$({ "$cli" defaults read --all | sed -n 's/^ *"\{0,1\}\([A-Za-z]*\)"\{0,1\} = .*/\1/p'; echo CheckAllDisks; } | sort -u | tr '\n' ' ' | sed 's/ $//')
[ -n "$keys" ] || fail "no keys read from 'defaults read --all'"
expect "ostrivane-cli defaults delete " "$keys"

# Every option a command's --help lists is offered after that command.
for command in check monitor history disks evaluate smart test-email; do
    offers=" $(offered "ostrivane-cli $command -") "
    for option in $("$cli" "$command" --help | grep -E '^ +-' | sed 's/^ *//; s/  .*//' | grep -oE '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,'); do
        [[ $offers == *" $option "* ]] || fail "'$command --help' lists $option, completion does not offer it"
    done
done

if command -v zsh >/dev/null; then
    zsh -n "$dir/_ostrivane-cli" || fail "zsh cannot parse _ostrivane-cli"
else
    echo "zsh not installed: its completion is not checked"
fi
if command -v fish >/dev/null; then
    for f in "$dir"/*.fish; do fish -n "$f" || fail "fish cannot parse $f"; done
    # fish runs the completion and offers the commands.
    got=$(HOME=$home fish -c "source $dir/ostrivane-cli.fish; complete -C 'ostrivane-cli def'" 2>&1 | cut -f1)
    [ "$got" = "defaults" ] || fail "fish offered '$got' for 'ostrivane-cli def'"
else
    echo "fish not installed: its completion is not checked"
fi

[ "$failures" -eq 0 ] || exit 1
echo "completion: all checks passed"
