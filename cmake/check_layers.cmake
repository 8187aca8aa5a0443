cmake_policy(SET CMP0057 NEW)  # IN_LIST
# Fails the build when a source file includes a header of a layer above its
# own. Run as `cmake -DSRC=<src dir> -P check_layers.cmake`.
#
#   common  <-  ui, net  <-  hotspot, guard, traffic, extras, updates  <-  app  <-  win32
#
# A subsystem may use another subsystem only through the narrow headers
# listed in SHARED_HEADERS.
set(SUBSYSTEMS hotspot guard traffic extras updates)
set(SHARED_HEADERS "hotspot/hotspot_control.h")

function(allowed_layers layer out)
  if(layer STREQUAL "common")
    set(${out} common PARENT_SCOPE)
  elseif(layer STREQUAL "ui" OR layer STREQUAL "net")
    set(${out} common ${layer} PARENT_SCOPE)
  elseif("${layer}" IN_LIST SUBSYSTEMS)
    set(${out} common ui net ${layer} PARENT_SCOPE)
  elseif(layer STREQUAL "app")
    set(${out} common ui net app ${SUBSYSTEMS} PARENT_SCOPE)
  else()
    set(${out} "*" PARENT_SCOPE)
  endif()
endfunction()

set(LAYERS common ui net app win32 ${SUBSYSTEMS})
file(GLOB_RECURSE files RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(errors "")
foreach(file IN LISTS files)
  string(REGEX MATCH "^[^/]+" layer "${file}")
  allowed_layers("${layer}" allowed)
  if(allowed STREQUAL "*")
    continue()
  endif()
  file(STRINGS "${SRC}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
    string(REGEX MATCH "^[^/]+" target "${header}")
    if(NOT target IN_LIST LAYERS OR target IN_LIST allowed OR header IN_LIST SHARED_HEADERS)
      continue()
    endif()
    list(JOIN allowed ", " shown)
    string(APPEND errors "  src/${file} includes \"${header}\": ${layer}/ may include only ${shown}\n")
  endforeach()
endforeach()
if(errors)
  message(FATAL_ERROR "An include points up a layer (see ARCHITECTURE.md):\n${errors}")
endif()
