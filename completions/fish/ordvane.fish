# fish completion for ordvane, the window.
complete -c ordvane -f
complete -c ordvane -s h -l help -d 'Print a short summary and exit'
complete -c ordvane -s v -l version -d 'Print the version and exit'
