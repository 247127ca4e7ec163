# fish completion for ordvane-cli: commands, each command's options and their values.
set -l commands scan configure apply wink forget recover recovery-server journal
complete -c ordvane-cli -f
complete -c ordvane-cli -l help -d 'Print the usage and exit'
complete -c ordvane-cli -l version -d 'Print the version and exit'
complete -c ordvane-cli -n "not __fish_seen_subcommand_from $commands" -a scan -d 'Scan for modules'
complete -c ordvane-cli -n "not __fish_seen_subcommand_from $commands" -a configure -d "Change a module's network settings"
complete -c ordvane-cli -n "not __fish_seen_subcommand_from $commands" -a apply -d 'Commission the modules of a CSV plan'
complete -c ordvane-cli -n "not __fish_seen_subcommand_from $commands" -a wink -d 'Ask a module to signal its presence'
complete -c ordvane-cli -n "not __fish_seen_subcommand_from $commands" -a forget -d 'Forget that a module asked for hashed passwords'
complete -c ordvane-cli -n "not __fish_seen_subcommand_from $commands" -a recover -d 'Bring back a module switched to DHCP by mistake'
complete -c ordvane-cli -n "not __fish_seen_subcommand_from $commands" -a recovery-server -d 'Run the recovery DHCP server'
complete -c ordvane-cli -n "not __fish_seen_subcommand_from $commands" -a journal -d 'Show the change journal'

complete -c ordvane-cli -n '__fish_seen_subcommand_from scan' -l seconds -x -d 'How long to scan'
complete -c ordvane-cli -n '__fish_seen_subcommand_from scan apply journal' -l format -x -a 'table csv json' -d 'Output format'
complete -c ordvane-cli -n '__fish_seen_subcommand_from scan' -l sort -x -a 'IP SN GW DHCP Version Type MAC' -d 'Column to sort by (:desc reverses)'
complete -c ordvane-cli -n '__fish_seen_subcommand_from scan' -l baseline -r -F -d 'Earlier scan --format json to compare with'

complete -c ordvane-cli -n '__fish_seen_subcommand_from configure recover' -l ip -x -d 'IP address'
complete -c ordvane-cli -n '__fish_seen_subcommand_from configure recover' -l mask -x -d 'Subnet mask'
complete -c ordvane-cli -n '__fish_seen_subcommand_from configure recover' -l gateway -x -d 'Gateway'
complete -c ordvane-cli -n '__fish_seen_subcommand_from configure recover' -l dns1 -x -d 'First DNS server'
complete -c ordvane-cli -n '__fish_seen_subcommand_from configure recover' -l dns2 -x -d 'Second DNS server'
complete -c ordvane-cli -n '__fish_seen_subcommand_from configure recover' -l hostname -x -d 'Hostname'
complete -c ordvane-cli -n '__fish_seen_subcommand_from configure' -l dhcp -x -a 'on off' -d 'Take the address from DHCP'
complete -c ordvane-cli -n '__fish_seen_subcommand_from configure apply recover' -l password-stdin -d 'Read the current password from standard input'
complete -c ordvane-cli -n '__fish_seen_subcommand_from configure apply' -l new-password-stdin -d 'Read a new password from standard input'
complete -c ordvane-cli -n '__fish_seen_subcommand_from configure apply recover' -l plain-password -d 'Consent to a password in clear text for a module that asks for one'
complete -c ordvane-cli -n '__fish_seen_subcommand_from configure apply' -l remove-password -d "Remove the module's password"

complete -c ordvane-cli -n '__fish_seen_subcommand_from apply' -F -d 'Plan (CSV)'
complete -c ordvane-cli -n '__fish_seen_subcommand_from apply' -l dry-run -d 'Report the current and planned values, send nothing'
complete -c ordvane-cli -n '__fish_seen_subcommand_from apply recover recovery-server' -l seconds -x -d 'Seconds'

complete -c ordvane-cli -n '__fish_seen_subcommand_from recovery-server' -l only -x -d 'Answer only these MAC addresses (comma-separated)'
complete -c ordvane-cli -n '__fish_seen_subcommand_from recovery-server' -l trace -d "Print the server's trace lines too"

complete -c ordvane-cli -n '__fish_seen_subcommand_from journal' -l since -x -d 'Only changes at or after this time (UTC)'
