# Warnings for our own targets only; system headers stay quiet.
function(lmx_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()

# Declares one engine library: sources, its folder's include root (cmake/Modules.cmake), the
# libraries it uses, warnings.
function(lmx_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  lmx_module(${name})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  lmx_warnings(${name})
endfunction()
