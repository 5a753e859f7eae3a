# wirlep_windows_link(TARGET): links TARGET into one .exe that needs no DLL
# beyond Windows' own (MinGW's C++ runtime and threads are linked in too),
# and leaves out the functions nothing calls, as --gc-sections does elsewhere.
#
# MinGW's own linker script keeps the unwind data of every function it is
# given (KEEP(*(.pdata*)) and KEEP(*(.xdata*))), and the unwind data keeps
# its function, so --gc-sections leaves a static Qt almost whole. The same
# script without those two KEEPs lets the linker drop what nothing calls.
# It still writes out all the unwind data and sorts its table, so every
# function the .exe keeps can be unwound through; the rows of the dropped
# ones become empty rows at the table's start, which Windows passes over.
# Their unwind data still names a personality routine, so the routines are
# kept by name. (The Windows tests check the table.)
include_guard(GLOBAL)

function(wirlep_windows_link target)
  target_link_options(${target} PRIVATE -static)
  execute_process(COMMAND ${CMAKE_LINKER} --verbose
                  OUTPUT_VARIABLE verbose COMMAND_ERROR_IS_FATAL ANY)
  if(NOT verbose MATCHES "\n=+\n(.*)\n=+\n")
    message(FATAL_ERROR "${CMAKE_LINKER} --verbose shows no linker script")
  endif()
  set(script "${CMAKE_MATCH_1}")
  foreach(section pdata xdata)
    string(REPLACE "KEEP(*(.${section}*))" "*(.${section}*)" edited "${script}")
    if(edited STREQUAL script)
      message(FATAL_ERROR "The linker script of ${CMAKE_LINKER} no longer keeps .${section} "
                          "as this build expects: look at it again")
    endif()
    set(script "${edited}")
  endforeach()
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${target}.ld)
  file(CONFIGURE OUTPUT ${file} CONTENT "${script}\n" @ONLY)
  target_link_options(${target} PRIVATE "LINKER:-T,${file}"
                      "LINKER:-u,__gxx_personality_seh0" "LINKER:-u,__C_specific_handler")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${file})
endfunction()
