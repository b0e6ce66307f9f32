# cmake -DNM= -DDLLTOOL= -DDLL= -DIMPORT_LIBRARY= -DOUTPUT= -P make_delay_library.cmake
# Builds a delay-load library for DLL from the exports its import library names.
execute_process(COMMAND ${NM} ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not read ${IMPORT_LIBRARY}")
endif()
string(REGEX MATCHALL "__imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
list(TRANSFORM imports REPLACE "^__imp_" "")
list(REMOVE_DUPLICATES imports)
list(SORT imports)
list(LENGTH imports count)
if(count EQUAL 0)
  message(FATAL_ERROR "${IMPORT_LIBRARY} names no export")
endif()
list(JOIN imports "\n" exports)
get_filename_component(folder ${OUTPUT} DIRECTORY)
set(def ${folder}/${DLL}.def)
file(WRITE ${def} "LIBRARY ${DLL}.dll\nEXPORTS\n${exports}\n")
execute_process(COMMAND ${DLLTOOL} --input-def ${def} --dllname ${DLL}.dll
                --output-delaylib ${OUTPUT} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${DLLTOOL} could not build ${OUTPUT}")
endif()
