# DLLs the first screen does not need are loaded when first called: a
# delay-import library made by dlltool from a list of the functions used
# (cmake/delayload/NAME.def) goes before the ordinary import library. A
# function missing from the list is imported the ordinary way, which only
# costs the delay. x86_64 only: the i686 names would need their stdcall
# decorations in the lists.
function(lumora_delay_load target)
  if(NOT MINGW OR NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    return()
  endif()
  find_program(LUMORA_DLLTOOL NAMES x86_64-w64-mingw32-dlltool REQUIRED)
  set(libraries)
  foreach(dll IN LISTS ARGN)
    set(def ${PROJECT_SOURCE_DIR}/cmake/delayload/${dll}.def)
    set(lib ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
    add_custom_command(OUTPUT ${lib}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayload
      COMMAND ${LUMORA_DLLTOOL} --input-def ${def} --output-delaylib ${lib}
      DEPENDS ${def} VERBATIM)
    list(APPEND libraries ${lib})
  endforeach()
  add_custom_target(${target}_delayload DEPENDS ${libraries})
  add_dependencies(${target} ${target}_delayload)
  target_link_libraries(${target} PRIVATE ${libraries} delayimp)
endfunction()
