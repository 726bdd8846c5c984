# SPDX-License-Identifier: GPL-3.0-or-later
# fish completion for the desktop application.
complete -c ostrivane -f
complete -c ostrivane -l show -d 'open the window'
complete -c ostrivane -l machine -r -a '(__fish_complete_directories)' -d 'a recorded machine'
complete -c ostrivane -l socket -r -F -d 'service socket'
complete -c ostrivane -l version -d 'show the version'
complete -c ostrivane -s h -l help -d 'show the options'
