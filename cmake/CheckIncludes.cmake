# The include check: every #include "folder/..." in a module folder's headers and sources must
# name the folder itself or one it may include by the module manifest (cmake/Modules.cmake).
# The compiler enforces the same through the include roots, but only for what it compiles and
# with an unhelpful "file not found"; this covers every header and says which folder is
# missing from which declaration.
#
# usage: cmake -DSOURCE_DIR=<source root> -DMANIFEST=<lmx_modules.cmake> -P CheckIncludes.cmake

cmake_minimum_required(VERSION 3.25)

foreach(var SOURCE_DIR MANIFEST)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=DIR -DMANIFEST=FILE -P CheckIncludes.cmake")
  endif()
endforeach()
if(NOT EXISTS ${MANIFEST})
  message(FATAL_ERROR "${MANIFEST}: no module manifest (configure the build first)")
endif()
include(${MANIFEST})
if(NOT LMX_MODULE_FOLDERS)
  message(FATAL_ERROR "${MANIFEST}: declares no module folders")
endif()

# The module folder a path inside the source tree belongs to: the longest declared prefix.
function(owning_folder path out)
  set(best "")
  foreach(folder IN LISTS LMX_MODULE_FOLDERS)
    string(LENGTH "${folder}" length)
    string(LENGTH "${best}" best_length)
    if(length GREATER best_length)
      string(FIND "${path}" "${folder}/" at)
      if(at EQUAL 0)
        set(best ${folder})
      endif()
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

# First path parts of the source tree that are not module folders nor inside one: an include of
# one of them ("cmake/...", a folder without a library) is wrong from anywhere.
file(GLOB top LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)

set(errors 0)
set(files_checked 0)
set(includes_checked 0)
foreach(folder IN LISTS LMX_MODULE_FOLDERS)
  string(MAKE_C_IDENTIFIER "${folder}" key)
  set(allowed ${LMX_MODULE_ALLOWED_${key}})
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} LIST_DIRECTORIES false
       ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.hpp
       ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.cc)
  list(SORT files)
  foreach(file IN LISTS files)
    # A file of a nested module folder is checked against that folder's declaration.
    owning_folder(${file} owner)
    if(NOT owner STREQUAL folder)
      continue()
    endif()
    math(EXPR files_checked "${files_checked} + 1")
    # One list item per line: the characters that mean something to CMake lists go first.
    file(READ ${SOURCE_DIR}/${file} text)
    foreach(special ";" "\\" "[" "]")
      string(REPLACE "${special}" "_" text "${text}")
    endforeach()
    string(REPLACE "\n" ";" lines "${text}")
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
        continue()
      endif()
      set(included ${CMAKE_MATCH_1})
      if(NOT included MATCHES "/")
        continue()  # generated files beside the build's sources (moc output)
      endif()
      math(EXPR includes_checked "${includes_checked} + 1")
      owning_folder(${included} target_folder)
      if(target_folder STREQUAL "")
        string(REGEX REPLACE "/.*" "" first "${included}")
        if(first IN_LIST top)
          message("${file}:${number}: includes \"${included}\": ${first}/ holds no module "
                  "that ${folder} could declare")
          math(EXPR errors "${errors} + 1")
        endif()
        continue()  # a library outside the source tree
      endif()
      if(NOT target_folder IN_LIST allowed)
        string(REPLACE ";" " " shown "${allowed}")
        message("${file}:${number}: includes \"${included}\": folder ${target_folder} is not "
                "declared by ${folder} (it may include: ${shown})")
        math(EXPR errors "${errors} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

list(LENGTH LMX_MODULE_FOLDERS folder_count)
if(errors GREATER 0)
  message(FATAL_ERROR "${errors} include(s) of undeclared folders")
endif()
if(includes_checked EQUAL 0)
  message(FATAL_ERROR "no project includes found under ${SOURCE_DIR}: nothing was checked")
endif()
message("${folder_count} folders, ${files_checked} files, ${includes_checked} project includes: "
        "each names a declared folder")
