# Writes the desktop entry at install time with the program's absolute path, so the menu entry, the
# grumblix:// handler and autostart work before the install folder is on PATH. Runs inside
# `cmake --install` (or CPack's staging install), where CMAKE_INSTALL_PREFIX is the prefix the files
# are for.
# Expects: ENTRY_TEMPLATE, STAGING_DIR, BIN_DIR, DATA_DIR.
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
# One staging file per destination: installs to different places (a package and a user install)
# may run at the same time from one build tree.
string(MD5 destination "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
set(staged "${STAGING_DIR}/${destination}/grumblix.desktop")
file(WRITE "${staged}" "${entry}")
if(IS_ABSOLUTE "${DATA_DIR}")
    set(target "${DATA_DIR}/applications")
else()
    set(target "${CMAKE_INSTALL_PREFIX}/${DATA_DIR}/applications")
endif()
file(INSTALL DESTINATION "${target}" TYPE FILE FILES "${staged}")
