# grumblix_library(<folder> DEPS <targets...>)
# Creates the static library grumblix_<folder> from every source file in the
# calling folder (subfolders included), so adding a file needs no CMake edit.
# AutoMoc reruns only when a listfile of the folder or a file it parsed last time changes, so a
# header added to the glob would never be mocced in an existing build folder. Including a file
# that is rewritten whenever the source list changes makes it a listfile AutoMoc depends on.
function(grumblix_track_sources name sources)
    set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_sources.cmake)
    string(REPLACE ";" "\n# " content "# ${sources}")
    set(old "")
    if(EXISTS ${list_file})
        file(READ ${list_file} old)
    endif()
    if(NOT old STREQUAL "${content}\n")
        file(WRITE ${list_file} "${content}\n")
    endif()
    include(${list_file})
endfunction()

function(grumblix_library folder)
    cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/*.h
        ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    foreach(ex IN LISTS ARG_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "/${ex}$")
    endforeach()
    # An empty folder still yields a valid library.
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/grumblix_${folder}_stub.cpp)
    if(NOT EXISTS ${stub})
        file(WRITE ${stub} "// keeps the library non-empty\n")
    endif()
    add_library(grumblix_${folder} STATIC ${sources} ${stub})
    target_include_directories(grumblix_${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(grumblix_${folder} PUBLIC ${ARG_DEPS})
    grumblix_track_sources(${folder} "${sources}")
endfunction()
