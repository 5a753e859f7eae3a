# Writes the source of this program that goes with the Windows program, as
# a .tar.gz whose one folder is PREFIX: from a git checkout, the commit it
# is at, for whatever else lies in a checkout (logs, built packages, a
# developer's files) is no part of it; a tree without git is one unpacked
# from such an archive, and goes as it is, less its builds.
# Usage: cmake -DSOURCE=dir -DPREFIX=wirlep-1.00 -DOUTPUT=file.tar.gz -P source_archive.cmake
cmake_minimum_required(VERSION 3.25)

if(EXISTS "${SOURCE}/.git")
  find_program(GIT git REQUIRED)
  execute_process(COMMAND "${GIT}" -C "${SOURCE}" diff --quiet HEAD -- RESULT_VARIABLE dirty)
  if(dirty)
    execute_process(COMMAND "${GIT}" -C "${SOURCE}" rev-parse --short HEAD
                    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE)
    message(WARNING "The source archive holds the commit ${commit}, not the uncommitted "
                    "changes in ${SOURCE}")
  endif()
  execute_process(COMMAND "${GIT}" -C "${SOURCE}" archive "--prefix=${PREFIX}/" -o "${OUTPUT}" HEAD
                  COMMAND_ERROR_IS_FATAL ANY)
else()
  find_program(TAR tar REQUIRED)
  execute_process(COMMAND "${TAR}" -czf "${OUTPUT}" "--exclude=./build*" -C "${SOURCE}"
                          "--transform=s,^\\.,${PREFIX}," .
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
