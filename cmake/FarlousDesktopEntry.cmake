# A desktop entry must name the program by its absolute path, known only once the program's
# folder is: entries are written when installing, from packaging/farlous.desktop.in.

# Escapes `text` as a desktop-entry string value.
function(farlous_desktop_string out text)
    string(REPLACE [[\]] [[\\]] text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Writes to `output` an entry that starts FARLOUS in `folder`, shown with `icon` (a theme name or
# an absolute path). Uses FARLOUS_DESCRIPTION from the caller.
function(farlous_write_desktop_entry template output folder icon)
    if(folder MATCHES "[\r\n]")
        message(FATAL_ERROR "A desktop entry cannot name a folder with a line break: ${folder}")
    endif()
    set(program "${folder}/FARLOUS")
    farlous_desktop_string(FARLOUS_TRY_EXEC "${program}")
    farlous_desktop_string(FARLOUS_ICON "${icon}")
    # Exec is a command line: the program is one quoted argument, in which ", `, $ and \ are
    # escaped, and % doubled so that no field code is read in a folder's name.
    string(REGEX REPLACE [[(["`$\])]] [[\\\1]] program "${program}")
    string(REPLACE "%" "%%" program "${program}")
    farlous_desktop_string(FARLOUS_EXEC "\"${program}\"")
    configure_file("${template}" "${output}" @ONLY)
endfunction()
