# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for ostrivane-cli: commands, their options, disk names for
# smart and setting keys for defaults.

_ostrivane_cli_keys="AllowSSDSubmission CheckAllDisks DXVisibilityManagerValue IconsetDock
IconsetMenubar NotificationStatusType NotificationTriggerDecrease NotificationTriggerStatus
NotificationTriggerStatusType NotificationUseAlert NotificationUseAlertType NotificationUseEmail
NotificationUseEmailAddress SSDCheckInterval ThresholdError ThresholdWarning WelcomeShown"

# Whole disks only: partitions have no entry of their own in /sys/block, and
# loop and RAM disks have no S.M.A.R.T. data.
_ostrivane_cli_disks() {
    local entry name
    for entry in /sys/block/*; do
        [ -e "$entry" ] || continue
        name=${entry##*/}
        case $name in loop* | ram* | zram*) continue ;; esac
        printf '%s\n' "$name"
    done
}

_ostrivane_cli() {
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion || return
    else
        COMPREPLY=()
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
    fi

    local commands="check monitor history disks evaluate smart defaults test-email snapshot-machine"
    if [ "$cword" -eq 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$cur")
        return
    fi

    case $prev in
        --machine | --fixture | --state)
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return ;;
        --socket | --prometheus)
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        --drive | --to | --model | --revision | --name | -w | --warning | -c | --critical | -t | --timeout)
            return ;;
        --protocol)
            mapfile -t COMPREPLY < <(compgen -W "SATA NVMe" -- "$cur")
            return ;;
        --status)
            mapfile -t COMPREPLY < <(compgen -W "0 1 2 3" -- "$cur")
            return ;;
    esac

    local command=${words[1]} options=""
    case $command in
        check)
            options="--json --verbose --prometheus --machine --state --no-state --socket --plugin
                     --warning --critical --timeout -w -c -t -v --help -h" ;;
        monitor) options="--machine --state --socket --help -h" ;;
        history) options="--json --drive --help -h" ;;
        disks) options="--json --machine --help -h" ;;
        snapshot-machine)
            [[ $cur == -* ]] || { mapfile -t COMPREPLY < <(compgen -d -- "$cur"); return; }
            options="--help -h" ;;
        evaluate)
            options="--model --revision --protocol --name --status --all-disks --json --persist --help -h"
            [[ $cur == -* ]] || { mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return; } ;;
        smart)
            options="--json --socket --machine --fixture --help -h"
            [[ $cur == -* ]] || {
                mapfile -t COMPREPLY < <(compgen -W "$(_ostrivane_cli_disks)" -- "$cur")
                return
            } ;;
        test-email) options="--to --help -h" ;;
        defaults)
            if [ "$cword" -eq 2 ]; then
                mapfile -t COMPREPLY < <(compgen -W "read write delete list --help" -- "$cur")
                return
            fi
            case ${words[2]} in
                read)
                    mapfile -t COMPREPLY < <(compgen -W "--all --json $_ostrivane_cli_keys" -- "$cur") ;;
                delete)
                    [ "$cword" -eq 3 ] &&
                        mapfile -t COMPREPLY < <(compgen -W "$_ostrivane_cli_keys" -- "$cur") ;;
                write)
                    if [ "$cword" -eq 3 ]; then
                        mapfile -t COMPREPLY < <(compgen -W "$_ostrivane_cli_keys" -- "$cur")
                    elif [ "$cword" -eq 4 ]; then
                        mapfile -t COMPREPLY < <(compgen -W "-int -float -bool -string" -- "$cur")
                    elif [ "$cword" -eq 5 ] && [ "$prev" = -bool ]; then
                        mapfile -t COMPREPLY < <(compgen -W "true false" -- "$cur")
                    fi ;;
            esac
            return ;;
        *) return ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
}
complete -F _ostrivane_cli ostrivane-cli

