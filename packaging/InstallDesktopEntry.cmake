# Writes the desktop entry at install time with the program's absolute path, so the menu entry, the
# grumblix:// handler and autostart work before the install folder is on PATH. Runs inside
# `cmake --install`, where CMAKE_INSTALL_PREFIX is the prefix actually installed to.
# Expects: ENTRY_TEMPLATE, ENTRY_STAGING, BIN_DIR.
if(IS_ABSOLUTE "${BIN_DIR}")
    set(program "${BIN_DIR}/grumblix")
else()
    set(program "${CMAKE_INSTALL_PREFIX}/${BIN_DIR}/grumblix")
endif()
# Desktop entries quote an argument with reserved characters and escape ", `, $ and \ inside the
# quotes; the value as a whole escapes \ once more.
if(program MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
    string(REPLACE "\\" "\\\\\\\\" program "${program}")
    string(REPLACE "\"" "\\\\\"" program "${program}")
    string(REPLACE "`" "\\\\`" program "${program}")
    string(REPLACE "$" "\\\\$" program "${program}")
    set(program "\"${program}\"")
endif()
file(READ "${ENTRY_TEMPLATE}" entry)
string(REPLACE "Exec=grumblix %u" "Exec=${program} %u" entry "${entry}")
file(WRITE "${ENTRY_STAGING}" "${entry}")
