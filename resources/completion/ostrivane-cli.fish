# SPDX-License-Identifier: GPL-3.0-or-later
# fish completion for ostrivane-cli.

set -l commands check monitor history disks evaluate smart defaults test-email snapshot-machine
set -l keys AllowSSDSubmission CheckAllDisks DXVisibilityManagerValue IconsetDock IconsetMenubar \
    NotificationStatusType NotificationTriggerDecrease NotificationTriggerStatus \
    NotificationTriggerStatusType NotificationUseAlert NotificationUseAlertType NotificationUseEmail \
    NotificationUseEmailAddress SSDCheckInterval ThresholdError ThresholdWarning WelcomeShown

function __ostrivane_cli_disks
    for entry in /sys/block/*
        set -l name (basename $entry)
        string match -qr '^(loop|ram|zram)' -- $name; or echo $name
    end
end

complete -c ostrivane-cli -f
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -s h -l help -d 'show the help'
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -l version -d 'show the version'
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -a check -d 'check the drives once'
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -a monitor -d 'check at every interval'
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -a history -d 'the recorded health'
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -a disks -d 'the mounted disks'
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -a evaluate -d 'evaluate an attribute table'
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -a smart -d 'read one drive'
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -a defaults -d 'read and change settings'
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -a test-email -d 'send the test e-mail'
complete -c ostrivane-cli -n "not __fish_seen_subcommand_from $commands" -a snapshot-machine -d 'record the disk layout'

complete -c ostrivane-cli -n "__fish_seen_subcommand_from $commands" -s h -l help -d 'show this help'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check history disks evaluate smart" -l json -d 'print JSON'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check monitor disks smart" -l machine -r -a '(__fish_complete_directories)' -d 'a recorded machine'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check monitor" -l state -r -a '(__fish_complete_directories)' -d 'keep state below'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check monitor smart" -l socket -r -F -d 'service socket'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check" -l verbose -d 'print attribute listings'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check" -l prometheus -r -F -d 'write a textfile'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check" -l no-state -d 'write nothing'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check" -l plugin -d 'monitoring-plugin line'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check" -s w -l warning -x -d 'warning threshold'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check" -s c -l critical -x -d 'error threshold'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check" -s t -l timeout -x -d 'time-out in seconds'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from check" -s v -d 'one line per drive'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from history" -l drive -x -d 'only this drive'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from smart" -l fixture -r -a '(__fish_complete_directories)' -d 'a recorded machine'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from smart" -a '(__ostrivane_cli_disks)' -d 'disk'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from evaluate" -F
complete -c ostrivane-cli -n "__fish_seen_subcommand_from evaluate" -l model -x -d 'model name'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from evaluate" -l revision -x -d 'firmware revision'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from evaluate" -l protocol -x -a 'SATA NVMe' -d 'device protocol'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from evaluate" -l name -x -d 'name in messages'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from evaluate" -l status -x -a '0 1 2 3' -d 'S.M.A.R.T. status'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from evaluate" -l all-disks -d 'also hard disks'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from evaluate" -l persist -d 'store the result'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from snapshot-machine" -a '(__fish_complete_directories)'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from test-email" -l to -x -d 'recipients'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from defaults; and not __fish_seen_subcommand_from read write delete list" -a 'read write delete list'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from defaults; and __fish_seen_subcommand_from read" -a '--all --json'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from defaults; and __fish_seen_subcommand_from read write delete" -a "$keys" -d 'setting'
complete -c ostrivane-cli -n "__fish_seen_subcommand_from defaults; and __fish_seen_subcommand_from write" -a '-int -float -bool -string' -d 'type'
