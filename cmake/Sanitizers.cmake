if(LMX_SANITIZE)
  # Applied to everything we build so that our code and test code are both covered.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Adds the default sanitizer options to an executable of the sanitizer build.
function(lmx_sanitizer_defaults target)
  if(LMX_SANITIZE)
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/sanitizer_defaults.cpp)
    set_source_files_properties(${CMAKE_SOURCE_DIR}/cmake/sanitizer_defaults.cpp PROPERTIES
      COMPILE_DEFINITIONS "LMX_LSAN_SUPPRESSIONS=\"${CMAKE_SOURCE_DIR}/tests/lsan.supp\"")
  endif()
endfunction()
