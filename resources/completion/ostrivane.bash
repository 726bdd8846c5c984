# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for the desktop application's options.

_ostrivane() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    case $prev in
        --machine) mapfile -t COMPREPLY < <(compgen -d -- "$cur"); return ;;
        --socket) mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "--show --machine --socket --version --help" -- "$cur")
}
complete -F _ostrivane ostrivane
