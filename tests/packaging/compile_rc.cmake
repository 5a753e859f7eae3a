# Compiles wirlep.rc into a .res file with the MinGW resource compiler, so the
# resources can be read back on a machine without Windows.
#
# Usage: cmake -DWINDRES=... -DPREPROCESSOR=... -DRC=wirlep.rc -DRES=wirlep.res
#              -P compile_rc.cmake

# A file left from an earlier run must not pass for this one.
file(REMOVE "${RES}")

if(NOT WINDRES OR NOT EXISTS "${WINDRES}")
  message(FATAL_ERROR "x86_64-w64-mingw32-windres was not found when configuring: "
                      "install binutils-mingw-w64-x86-64 (scripts/setup.sh does) and configure again")
endif()
if(NOT EXISTS "${RC}")
  message(FATAL_ERROR "${RC} is missing")
endif()

# Without MinGW's gcc around, the host compiler preprocesses the script, as a
# C file and with RC_INVOKED, the way windres would run its own.
execute_process(
  COMMAND "${WINDRES}" "--preprocessor=${PREPROCESSOR}"
          --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED
          -O res "${RC}" "${RES}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT EXISTS "${RES}")
  message(FATAL_ERROR "windres failed on ${RC} (${result})")
endif()
