# fish completion for vernatto: two inventories, JSON files first
complete -c vernatto -f -k -a '(__fish_complete_suffix .json)'
