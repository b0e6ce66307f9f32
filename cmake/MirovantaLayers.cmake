# Each library of a layer sees only the folders its layer may use. A view
# folder under the build tree holds links to exactly those folders and is the
# target's one include folder for the project's headers, so an #include of a
# layer above it fails to compile (tools/check_layers.py checks the same rule
# by reading the sources).
#
#   mirovanta_sees(target platform input protocol ...)
#
# "platform" is the interface headers alone; "platform/win32" and
# "platform/posix" add a real layer's headers.
function(mirovanta_sees target)
  set(view ${CMAKE_BINARY_DIR}/layer-views/${target})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view}/platform)
  foreach(folder IN LISTS ARGN)
    if(folder STREQUAL "platform")
      file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/*.h)
      foreach(header IN LISTS headers)
        get_filename_component(name ${header} NAME)
        file(CREATE_LINK ${header} ${view}/platform/${name} SYMBOLIC)
      endforeach()
    else()
      get_filename_component(parent ${view}/${folder} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE ${view})
endfunction()
