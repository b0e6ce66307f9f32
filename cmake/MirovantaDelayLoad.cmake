# Delay-loaded system DLLs: a program linked through these loads a DLL the
# first time it calls into it, not before its own code runs. The host answers
# the remote's search from its first moments; under Wine, loading user32 (and
# gdi32, shell32, ole32 and oleaut32, which load it in turn) is the largest
# part of a program's start before its entry.
#
# MinGW-w64 ships ordinary import libraries only, so the delay-load libraries
# are made at build time: the exports named by the import library
# (its __imp_ symbols) become a .def file, and dlltool builds from it.

set(MIROVANTA_DELAY_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/make_delay_library.cmake)

# Links `target` with delay-loading of each DLL named after it (user32 ...).
function(mirovanta_delay_load target)
  foreach(dll IN LISTS ARGN)
    find_library(MIROVANTA_IMPORT_${dll} NAMES ${dll} REQUIRED)
    set(output ${CMAKE_BINARY_DIR}/delay/lib${dll}_delay.a)
    if(NOT TARGET mirovanta_delay_${dll})
      add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DDLL=${dll}
                -DIMPORT_LIBRARY=${MIROVANTA_IMPORT_${dll}} -DOUTPUT=${output}
                -P ${MIROVANTA_DELAY_SCRIPT}
        DEPENDS ${MIROVANTA_IMPORT_${dll}} ${MIROVANTA_DELAY_SCRIPT}
        COMMENT "Delay-load library for ${dll}.dll"
        VERBATIM)
      add_custom_target(mirovanta_delay_${dll} DEPENDS ${output})
    endif()
    add_dependencies(${target} mirovanta_delay_${dll})
    # Listed right after the program's own libraries, so that their calls are
    # resolved here before the ordinary import libraries further on.
    target_link_libraries(${target} PRIVATE ${output})
  endforeach()
  target_link_libraries(${target} PRIVATE delayimp)
endfunction()
