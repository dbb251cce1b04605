# `cpack` (or the `package` target) builds a Debian package from the ordinary install rules,
# installed under /usr. Nothing here changes what `cmake --install` puts in place; building the
# package needs what scripts/packages-package.txt lists, building the program does not.
set(GRUMBLIX_PACKAGE_MAINTAINER "Grumblix maintainers <maintainers@grumblix.app>"
    CACHE STRING "Maintainer named in the Debian package")

# Name and description come from the AppStream metainfo, so the software centre and apt agree.
file(READ ${PROJECT_SOURCE_DIR}/packaging/grumblix.metainfo.xml metainfo)
string(REGEX MATCH "<summary>([^<]*)</summary>" _ "${metainfo}")
set(summary "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "<p>[^<]*</p>" paragraphs "${metainfo}")
set(description)
foreach(paragraph IN LISTS paragraphs)
    string(REGEX REPLACE "</?p>" "" paragraph "${paragraph}")
    string(REGEX REPLACE "[ \t\r\n]+" " " paragraph "${paragraph}")
    string(STRIP "${paragraph}" paragraph)
    # Debian descriptions are read at 80 columns.
    string(REGEX MATCHALL "[^ ]+" words "${paragraph}")
    if(description)
        string(APPEND description "\n")
    endif()
    set(line)
    foreach(word IN LISTS words)
        string(LENGTH "${line} ${word}" length)
        if(line AND length GREATER 78)
            string(APPEND description "${line}\n")
            set(line "${word}")
        elseif(line)
            string(APPEND line " ${word}")
        else()
            set(line "${word}")
        endif()
    endforeach()
    string(APPEND description "${line}\n")
endforeach()

# What the program runs or loads without linking it: the runtime part of the packages setup.sh
# installs (fonts, Qt plugins, the desktop tools), and the Wayland platform plugin.
file(STRINGS ${PROJECT_SOURCE_DIR}/scripts/packages-run.txt run_lines)
set(runtime_packages)
set(in_runtime FALSE)
foreach(entry IN LISTS run_lines)
    string(STRIP "${entry}" entry)
    if(entry STREQUAL "# Runtime")
        set(in_runtime TRUE)
    elseif(in_runtime AND entry AND NOT entry MATCHES "^#")
        list(APPEND runtime_packages "${entry}")
    endif()
endforeach()
list(APPEND runtime_packages qt6-wayland)
list(REMOVE_DUPLICATES runtime_packages)
list(JOIN runtime_packages ", " runtime_depends)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME grumblix)
set(CPACK_PACKAGE_VENDOR Grumblix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${summary}")
set(CPACK_PACKAGE_CONTACT "${GRUMBLIX_PACKAGE_MAINTAINER}")
# The install rules write the desktop entry for CMAKE_INSTALL_PREFIX: it must be /usr, not the
# staging folder, while CPack installs.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Named by component, so the staging install writes its own manifest and leaves install_manifest.txt
# (what `setup.sh uninstall` removes) to the user install.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};Grumblix;Unspecified;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${GRUMBLIX_BUILD_NUMBER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${GRUMBLIX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${description}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${runtime_depends}")
# Desktops bring their own notification service. An emoji picker only backs the controls that open
# the system's picker, which are left out without one: not worth the desktop it would pull in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "notification-daemon")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-characters | kcharselect | gucharmap")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The copyright, the Debian changelog and the lintian overrides belong to the package alone.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/debian/AddDebianFiles.cmake)
set(CPACK_GRUMBLIX_DEBIAN_DIR ${PROJECT_SOURCE_DIR}/packaging/debian)
set(CPACK_GRUMBLIX_VERSION "${PROJECT_VERSION}-${GRUMBLIX_BUILD_NUMBER}")
set(CPACK_GRUMBLIX_SOURCE_DATE_EPOCH "${GRUMBLIX_SOURCE_DATE_EPOCH}")
# Edits to the files read above reach the package at the next build.
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/packaging/grumblix.metainfo.xml ${PROJECT_SOURCE_DIR}/scripts/packages-run.txt)
include(CPack)
