# Compile and link options, set on each target the project builds.
#
# Warnings are errors in every preset. -Wconversion is left out: the code
# moves values between the system's fixed-width record fields (WORD, DWORD,
# LONG) and the wire's bytes on purpose, and would need a cast on nearly
# every such line without catching a fault the sanitizers and tests miss.
set(MIROVANTA_SANITIZE "" CACHE STRING "Sanitizers for the native build (address;undefined or thread)")
option(MIROVANTA_FUZZ "Build the libFuzzer targets (clang) instead of the tests" OFF)
option(MIROVANTA_WERROR "Treat warnings as errors" ON)

function(mirovanta_options)
  foreach(target IN LISTS ARGN)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
    if(MIROVANTA_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
    # GCC 12 at -O3 reports "literal" + std::string as an overlapping copy
    # (its bug 105329), in the optimised native build only.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-restrict>)
    endif()
    if(WIN32)
      target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
      # No DLL beyond Windows' own: the C and C++ runtimes and winpthread go in the exe.
      target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -s)
      # Small programs: every function in a section of its own, so the link
      # drops what nothing calls (most of the static C++ runtime), and code
      # built for size. The command path's time is spent in the system
      # (sockets, SendInput), not in this code.
      target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Os>
                             -ffunction-sections -fdata-sections)
      target_link_options(${target} PRIVATE -Wl,--gc-sections)
    else()
      if(MIROVANTA_FUZZ)
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                               -fno-sanitize-recover=all)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
      endif()
      foreach(sanitizer IN LISTS MIROVANTA_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=${sanitizer} -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=${sanitizer})
      endforeach()
    endif()
  endforeach()
endfunction()
