# Run by CPack after the staging install: adds what a Debian package carries beside the program (the
# copyright, the Debian changelog, the manual page, the lintian overrides) and a user install does
# not need.

# CPack's archive writer dates every member of the package (the files, the control files and the
# ar members) by the SOURCE_DATE_EPOCH of its environment and leaves the time out of the gzip
# headers: with the source date, the same checkout gives the same package at every build.
set(ENV{SOURCE_DATE_EPOCH} "${CPACK_GRUMBLIX_SOURCE_DATE_EPOCH}")
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${root}/share/doc/${CPACK_PACKAGE_NAME}")
set(man "${root}/share/man/man1")
set(overrides "${root}/share/lintian/overrides")
file(MAKE_DIRECTORY "${doc}" "${man}" "${overrides}")
find_program(GZIP gzip REQUIRED)

# -n leaves out the name and time, so equal texts compress to equal bytes.
function(compress file)
    execute_process(COMMAND "${GZIP}" -9nf "${file}" RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "Could not compress ${file}")
    endif()
endfunction()

file(COPY_FILE "${CPACK_GRUMBLIX_DEBIAN_DIR}/copyright" "${doc}/copyright")
file(COPY_FILE "${CPACK_GRUMBLIX_DEBIAN_DIR}/lintian-overrides" "${overrides}/${CPACK_PACKAGE_NAME}")

set(DEBIAN_VERSION "${CPACK_GRUMBLIX_VERSION}")
set(UPSTREAM_VERSION "${CPACK_PACKAGE_VERSION}")
set(MAINTAINER "${CPACK_DEBIAN_PACKAGE_MAINTAINER}")
string(TIMESTAMP DATE "%a, %d %b %Y %H:%M:%S +0000" UTC) # from SOURCE_DATE_EPOCH
configure_file("${CPACK_GRUMBLIX_DEBIAN_DIR}/changelog.in" "${doc}/changelog.Debian" @ONLY)
compress("${doc}/changelog.Debian")

# Made by the build from packaging/debian/grumblix.1 and the help text.
file(COPY_FILE "${CPACK_GRUMBLIX_MAN_PAGE}" "${man}/grumblix.1")
compress("${man}/grumblix.1")

file(GLOB_RECURSE added "${doc}/*" "${man}/*" "${overrides}/*")
file(CHMOD ${added} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
