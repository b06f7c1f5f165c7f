# fish completion for vernatto-project: projects (files and folders), rooms and options

# Files and folders as fish offers them, project files first (their
# extensions in any case), then folders, then the rest.
function __vernatto_project_files
    set -l files (complete -C "__fish_command_without_completions "(commandline -ct))
    set -l project '\.(?:rpp|als|dawproject|ardour|carxp|mmp|mmpz|song|cpr|npr|txt)$'
    string match -rie -- $project $files
    string match -re -- '/$' $files
    string match -rvi -- $project $files | string match -rv -- '/$'
end

complete -c vernatto-project -k -a '(__vernatto_project_files)'
complete -c vernatto-project -l list -d 'List the plug-ins each project uses; check no room'
complete -c vernatto-project -l json -r -k -a '(__fish_complete_suffix .json)' \
    -d 'Write the report as JSON (-: standard output)'
complete -c vernatto-project -l csv -r -k -a '(__fish_complete_suffix .csv)' -d 'Write it as CSV'
complete -c vernatto-project -l html -r -k -a '(__fish_complete_suffix .html)' \
    -d 'Write it as a page'
complete -c vernatto-project -l uses -x -d 'Only the plug-ins whose vendor or name holds TEXT'
complete -c vernatto-project -l room -r -k -a '(__fish_complete_suffix .json)' \
    -d 'Check against this inventory, or a folder of them'
complete -c vernatto-project -l scan-path -r -F -d 'Scan DIR as well when this machine is the room'
complete -c vernatto-project -l no-default-paths -d 'Scan only the --scan-path folders'
complete -c vernatto-project -l ignore -x -d 'Never report plug-ins whose vendor or name holds TEXT'
complete -c vernatto-project -l open -d 'Open the page in the default viewer'
complete -c vernatto-project -l all -d 'List every project, those that open everywhere too'
complete -c vernatto-project -s h -l help -d 'Show the options'
complete -c vernatto-project -l version -d "Show the program's version"
