# Checks every `#include "..."` of every file under SOURCE_ROOT against the
# layer table LAYER_TABLE (written by cmake/LumetraLayers.cmake from the top
# CMakeLists.txt; docs/layers.md explains it). Run as
#   cmake -DLAYER_TABLE=build/layer_table.cmake -DSOURCE_ROOT=src -P CheckLayerIncludes.cmake
#
# A file belongs to the layer whose folder holds it, a header to the layer
# whose folder its path names. An include is spelled from SOURCE_ROOT, or
# from the including file's folder when the header is there. Reported, each
# as file:line, and the run fails: a file or an included header in no layer's
# folder, and an include of a layer other than the file's own and those its
# row lets it use. The compiler refuses most of these on its own; this also
# finds those it would accept, such as an include that happens to reach a
# header the including target sees through some other way.

cmake_minimum_required(VERSION 3.25)

foreach(variable LAYER_TABLE SOURCE_ROOT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "Give -D${variable}=...")
  endif()
endforeach()
include(${LAYER_TABLE})
get_filename_component(SOURCE_ROOT ${SOURCE_ROOT} ABSOLUTE)
# Files are named from the folder that holds SOURCE_ROOT: src/units/line.cpp.
get_filename_component(rootName ${SOURCE_ROOT} NAME)

# The layer of a path relative to SOURCE_ROOT: the one with the longest
# folder that holds it; empty when none does.
function(layer_of path out)
  set(found "")
  set(foundLength 0)
  foreach(layer IN LISTS LUMETRA_LAYERS)
    foreach(folder IN LISTS LUMETRA_LAYER_FOLDERS_${layer})
      string(LENGTH "${folder}" length)
      string(FIND "${path}" "${folder}/" at)
      if(at EQUAL 0 AND length GREATER foundLength)
        set(found ${layer})
        set(foundLength ${length})
      endif()
    endforeach()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(problems 0)
function(report text)
  message(NOTICE "${text}")
  math(EXPR count "${problems} + 1")
  set(problems ${count} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${SOURCE_ROOT} ${SOURCE_ROOT}/*)
list(SORT files)
foreach(file IN LISTS files)
  file(READ ${SOURCE_ROOT}/${file} text)
  # One list element per line: the characters that CMake lists give a
  # meaning to go first; no include path holds them.
  string(REGEX REPLACE "[][\\;]" "" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  get_filename_component(folder ${file} DIRECTORY)
  layer_of(${file} fileLayer)
  if(NOT fileLayer AND folder)
    report("${rootName}/${file}: its folder is in no layer")
  endif()

  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    set(header ${CMAKE_MATCH_1})
    if(folder AND EXISTS ${SOURCE_ROOT}/${folder}/${header})
      set(header ${folder}/${header})
    endif()
    cmake_path(NORMAL_PATH header)
    layer_of(${header} headerLayer)
    if(NOT headerLayer)
      report("${rootName}/${file}:${number}: \"${header}\" is in no layer's folder")
    elseif(fileLayer AND NOT headerLayer STREQUAL fileLayer AND NOT headerLayer IN_LIST LUMETRA_LAYER_USES_${fileLayer})
      string(REPLACE ";" ", " allowed "${LUMETRA_LAYER_USES_${fileLayer}}")
      if(NOT allowed)
        set(allowed "no other layer")
      endif()
      report("${rootName}/${file}:${number}: ${fileLayer} includes \"${header}\" of ${headerLayer}; ${fileLayer} may use ${allowed}")
    endif()
  endforeach()
endforeach()

if(problems EQUAL 1)
  message(FATAL_ERROR "The layer rule (docs/layers.md) is broken once")
elseif(problems GREATER 1)
  message(FATAL_ERROR "The layer rule (docs/layers.md) is broken ${problems} times")
endif()
list(LENGTH files count)
message(STATUS "The includes of ${count} files keep the layer rule")
