# Runs the include check on two small source trees with a manifest of their own: folders a,
# b, a/sub (nested in a) and cmake/ (no module). a may include b; a/sub and b only themselves.
# usage: cmake -DCHECK=CheckIncludes.cmake -DWORK=DIR -P check_includes_test.cmake

cmake_minimum_required(VERSION 3.25)

function(write_tree root wrong)
  file(REMOVE_RECURSE ${root})
  file(WRITE ${root}/manifest.cmake
    "set(LMX_MODULE_FOLDERS a a/sub b)\n"
    "set(LMX_MODULE_ALLOWED_a a b)\n"
    "set(LMX_MODULE_ALLOWED_a_sub a/sub)\n"
    "set(LMX_MODULE_ALLOWED_b b)\n")
  file(WRITE ${root}/cmake/ZR_Tool.h "#pragma once\n")
  file(WRITE ${root}/b/ZR_B.h "#pragma once\n#include <vector>\n#include \"gtest/gtest.h\"\n")
  file(WRITE ${root}/a/sub/ZR_S.h "#pragma once\n#include \"a/sub/ZR_S2.h\"\n")
  # Characters that mean something to CMake lists must not shift the line numbers.
  set(a_cpp "#include \"a/ZR_A.h\"\nint v[2]; // ; [\n#define X \\\n  1\n#include \"b/ZR_B.h\"\n"
            "  #  include \"ZR_A.moc\"\n")
  if(wrong)
    string(APPEND a_cpp "// a wrong include below, on line 8\n#include \"a/sub/ZR_S.h\"\n")
    file(APPEND ${root}/a/sub/ZR_S.h "#include \"a/ZR_A.h\"\n")
    file(APPEND ${root}/b/ZR_B.h "#include \"a/ZR_A.h\"\n#include \"cmake/ZR_Tool.h\"\n")
  endif()
  file(WRITE ${root}/a/ZR_A.cpp "${a_cpp}")
  file(WRITE ${root}/a/ZR_A.h "#pragma once\n")
endfunction()

function(run_check root out_rc out_text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${root} -DMANIFEST=${root}/manifest.cmake
                          -P ${CHECK}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${out_rc} ${rc} PARENT_SCOPE)
  set(${out_text} "${out}${err}" PARENT_SCOPE)
endfunction()

set(failures "")
write_tree(${WORK}/clean OFF)
run_check(${WORK}/clean rc text)
if(NOT rc EQUAL 0)
  list(APPEND failures "the clean tree fails:\n${text}")
endif()

write_tree(${WORK}/wrong ON)
run_check(${WORK}/wrong rc text)
if(rc EQUAL 0)
  list(APPEND failures "the wrong tree passes")
endif()
foreach(expected
    "a/ZR_A.cpp:8: includes \"a/sub/ZR_S.h\": folder a/sub is not declared by a "
    "a/sub/ZR_S.h:3: includes \"a/ZR_A.h\": folder a is not declared by a/sub"
    "b/ZR_B.h:4: includes \"a/ZR_A.h\": folder a is not declared by b"
    "b/ZR_B.h:5: includes \"cmake/ZR_Tool.h\": cmake/ holds no module"
    "4 include\\(s\\) of undeclared folders")
  if(NOT text MATCHES "${expected}")
    list(APPEND failures "missing: ${expected}")
  endif()
endforeach()

if(failures)
  string(REPLACE ";" "\n" failures "${failures}")
  message(FATAL_ERROR "${failures}\n--- output of the check on the wrong tree:\n${text}")
endif()
