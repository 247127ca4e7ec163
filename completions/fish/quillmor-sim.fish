# fish completion for quillmor-sim, the module emulator.
complete -c quillmor-sim -f
complete -c quillmor-sim -l help -d 'Print a summary of the options and exit'
complete -c quillmor-sim -l version -d 'Print the version and exit'
complete -c quillmor-sim -l count -x -d 'Number of generated modules (1 to 65536)'
complete -c quillmor-sim -l fleet -r -F -d 'Fleet file'
complete -c quillmor-sim -l seed -x -d 'Seed of the generated fleet'
complete -c quillmor-sim -l address -x -d 'IPv4 address to listen on'
complete -c quillmor-sim -l port -x -d 'UDP port to listen on'
complete -c quillmor-sim -l jitter-ms -x -d 'Random delay of a scan answer'
complete -c quillmor-sim -l delay-ms -x -d 'Fixed delay before the first scan answer'
complete -c quillmor-sim -l state -r -F -d "File that keeps the fleet's state"
complete -c quillmor-sim -l loss -x -d 'Share of datagrams to drop'
complete -c quillmor-sim -l dup -x -d 'Share of datagrams to send twice'
complete -c quillmor-sim -l dhcp-client -x -a '(__fish_print_interfaces)' -d "Interface for the modules' DHCP requests"
complete -c quillmor-sim -l dhcp-retry-ms -x -d "Time between a module's DHCP attempts (ms)"
