# The layers of src/ as the build sees them (docs/layers.md).
#
# lumetra_layer() takes one row of the layer table in the top CMakeLists.txt:
# the layer, its folders under src/ and the layers it may use, each of them
# a row further up (so the table cannot hold a cycle). It gives the layer an
# include root in the build tree, a folder of links to the layer's source
# folders, so that `#include "units/unit.h"` finds the header only in a
# target that sees the model layer's root; and it writes the row into
# LUMETRA_LAYER_TABLE, which the include check (CheckLayerIncludes.cmake) reads.
#
# lumetra_layer_target() makes a target part of a layer: the target sees the
# layer's root (and passes it on when it is a static library) and links what
# follows PUBLIC and PRIVATE. Once all targets are defined, every target of a
# layer that links a target of another layer the table does not let it use
# is an error.

set(LUMETRA_LAYER_ROOTS ${CMAKE_BINARY_DIR}/layers)
set(LUMETRA_LAYER_TABLE ${CMAKE_BINARY_DIR}/layer_table.cmake)
# Made afresh, so that a folder moved to another layer leaves no link behind.
file(REMOVE_RECURSE ${LUMETRA_LAYER_ROOTS})
file(WRITE ${LUMETRA_LAYER_TABLE} "# Written by cmake/LumetraLayers.cmake from the layer table of CMakeLists.txt.\n")

function(lumetra_layer layer)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "FOLDERS;USES")
  get_property(layers GLOBAL PROPERTY LUMETRA_LAYERS)
  if(layer IN_LIST layers)
    message(FATAL_ERROR "Layer ${layer} is defined twice")
  endif()
  if(NOT arg_FOLDERS)
    message(FATAL_ERROR "Layer ${layer} names no folder")
  endif()
  foreach(used IN LISTS arg_USES)
    if(NOT used IN_LIST layers)
      message(FATAL_ERROR "Layer ${layer} uses ${used}, which is not a layer defined before it")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY LUMETRA_LAYERS ${layer})
  set_property(GLOBAL PROPERTY LUMETRA_LAYER_USES_${layer} ${arg_USES})

  file(MAKE_DIRECTORY ${LUMETRA_LAYER_ROOTS}/${layer})
  foreach(folder IN LISTS arg_FOLDERS)
    if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/src/${folder})
      message(FATAL_ERROR "Layer ${layer}: there is no folder src/${folder}")
    endif()
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${LUMETRA_LAYER_ROOTS}/${layer}/${folder} SYMBOLIC)
  endforeach()

  file(APPEND ${LUMETRA_LAYER_TABLE}
    "list(APPEND LUMETRA_LAYERS ${layer})\n"
    "set(LUMETRA_LAYER_FOLDERS_${layer} \"${arg_FOLDERS}\")\n"
    "set(LUMETRA_LAYER_USES_${layer} \"${arg_USES}\")\n")
endfunction()

function(lumetra_layer_target target layer)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "PUBLIC;PRIVATE")
  get_property(layers GLOBAL PROPERTY LUMETRA_LAYERS)
  if(NOT layer IN_LIST layers)
    message(FATAL_ERROR "${target}: ${layer} is not a layer")
  endif()
  set_target_properties(${target} PROPERTIES LUMETRA_LAYER ${layer})
  set_property(GLOBAL APPEND PROPERTY LUMETRA_LAYER_TARGETS ${target})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "STATIC_LIBRARY")
    target_include_directories(${target} PUBLIC ${LUMETRA_LAYER_ROOTS}/${layer})
  else()
    target_include_directories(${target} PRIVATE ${LUMETRA_LAYER_ROOTS}/${layer})
  endif()
  if(arg_PUBLIC)
    target_link_libraries(${target} PUBLIC ${arg_PUBLIC})
  endif()
  if(arg_PRIVATE)
    target_link_libraries(${target} PRIVATE ${arg_PRIVATE})
  endif()
endfunction()

# Once every target is defined: what each layer target links, however it came
# to link it, against the table.
function(lumetra_check_layer_links)
  get_property(targets GLOBAL PROPERTY LUMETRA_LAYER_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(layer ${target} LUMETRA_LAYER)
    get_property(uses GLOBAL PROPERTY LUMETRA_LAYER_USES_${layer})
    get_target_property(linked ${target} LINK_LIBRARIES)
    get_target_property(passedOn ${target} INTERFACE_LINK_LIBRARIES)
    foreach(item IN LISTS linked passedOn)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
      if(NOT TARGET ${item})
        continue()
      endif()
      get_target_property(itemLayer ${item} LUMETRA_LAYER)
      if(itemLayer AND NOT itemLayer STREQUAL layer AND NOT itemLayer IN_LIST uses)
        message(SEND_ERROR "${target} (layer ${layer}) links ${item} of layer ${itemLayer}, "
          "which the layer table of CMakeLists.txt does not let ${layer} use")
      endif()
    endforeach()
  endforeach()
endfunction()
cmake_language(DEFER CALL lumetra_check_layer_links)
