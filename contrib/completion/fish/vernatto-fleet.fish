# fish completion for vernatto-fleet: inventories (JSON files and folders) and options
complete -c vernatto-fleet -k -a '(__fish_complete_suffix .json)'
complete -c vernatto-fleet -l reference -x -d 'Also judge every machine against machine NAME'
complete -c vernatto-fleet -l html -r -k -a '(__fish_complete_suffix .html)' \
    -d 'Write the comparison as a page (-: standard output)'
complete -c vernatto-fleet -l csv -r -k -a '(__fish_complete_suffix .csv)' -d 'Write it as CSV'
complete -c vernatto-fleet -l json -r -k -a '(__fish_complete_suffix .json)' -d 'Write it as JSON'
complete -c vernatto-fleet -l open -d 'Open the page in the default viewer'
complete -c vernatto-fleet -l all -d 'List the plug-ins that are alike too'
complete -c vernatto-fleet -s h -l help -d 'Show the options'
complete -c vernatto-fleet -l version -d "Show the program's version"
