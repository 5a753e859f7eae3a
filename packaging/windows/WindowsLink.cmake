# wirlep_windows_link(TARGET): links TARGET statically into one .exe that
# needs no DLL beyond Windows' own (MinGW's C++ runtime and threads are
# linked in too), with MinGW's own linker script minus its KEEP of .pdata, so
# that the functions nothing calls can be left out.
#
# Section garbage collection itself comes with the static Qt: Qt6::Core
# passes --gc-sections to the link of every program that uses it, and
# -ffunction-sections -fdata-sections to its compiler (as the toolchain file
# does for all code). With MinGW's own linker script that drops almost
# nothing, because the script keeps the table of every function's unwind
# data (KEEP(*(.pdata*))), and each row of that table names its function.
# This file takes the script the linker reports at configure time, drops that
# one KEEP, and links TARGET with the result. The linker still writes out the
# whole table and sorts it, so every function the .exe keeps can be unwound
# through; the rows of dropped ones become empty rows at the table's start,
# which Windows passes over. The unwind data itself (.xdata) stays kept as
# before: it names no function, but it does name the personality routine
# and the types each catch clause catches, which must not go.
# (The Windows tests check the table.)
include_guard(GLOBAL)

function(wirlep_windows_link target)
  target_link_options(${target} PRIVATE -static)
  # The ld that g++ runs, and the script it links with.
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-prog-name=ld
                  OUTPUT_VARIABLE ld OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${ld} --verbose OUTPUT_VARIABLE verbose COMMAND_ERROR_IS_FATAL ANY)
  if(NOT verbose MATCHES "\n=+\n(.*)\n=+\n")
    message(FATAL_ERROR "${ld} --verbose shows no linker script")
  endif()
  set(script "${CMAKE_MATCH_1}")
  string(REPLACE "KEEP(*(.pdata*))" "*(.pdata*)" edited "${script}")
  if(edited STREQUAL script)
    message(FATAL_ERROR "The linker script of ${ld} no longer keeps .pdata as this build "
                        "expects: look at it again")
  endif()
  if(NOT edited MATCHES "KEEP\\(\\*\\(\\.xdata\\*\\)\\)")
    message(FATAL_ERROR "The linker script of ${ld} does not keep .xdata: linked without it, "
                        "a typed catch clause would catch every exception")
  endif()
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${target}.ld)
  file(CONFIGURE OUTPUT ${file} CONTENT "${edited}\n" @ONLY)
  target_link_options(${target} PRIVATE "LINKER:-T,${file}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${file})
endfunction()
