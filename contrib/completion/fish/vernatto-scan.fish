# fish completion for vernatto-scan: options only, inventories first for -o
complete -c vernatto-scan -f
complete -c vernatto-scan -s o -l output -r -k -a '(__fish_complete_suffix .json)' \
    -d 'Write the inventory to FILE (-: standard output)'
complete -c vernatto-scan -l path -r -F -d 'Scan DIR (a folder, bundle or file) as well'
complete -c vernatto-scan -l no-default-paths -d 'Scan only the --path folders'
complete -c vernatto-scan -s h -l help -d 'Show the options'
complete -c vernatto-scan -l version -d "Show the program's version"
