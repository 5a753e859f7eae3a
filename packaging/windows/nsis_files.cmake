# Writes the installer's file list from the folder the zip is packed from:
# the macro WIRLEP_INSTALL_FILES with a File line for each file, and
# WIRLEP_REMOVE_FILES with a Delete line for each and an RMDir (never /r)
# for each folder, deepest first, so that the uninstaller removes exactly
# what was installed and a folder only once nothing else is left in it.
# WIRLEP_SIZE_KB is their size, for the entry under Apps.
# Usage: cmake -DSTAGE=folder -DOUTPUT=files.nsh -P nsis_files.cmake
cmake_minimum_required(VERSION 3.25)

# "$INSTDIR\PATH", or "$INSTDIR" for an empty PATH, quoted for NSIS, which
# reads "$" as the start of a variable.
function(nsis_installed out path)
  string(REPLACE "$" "$$" path "${path}")
  string(REPLACE "/" "\\" path "${path}")
  if(path STREQUAL "")
    set(${out} "\"$INSTDIR\"" PARENT_SCOPE)
  else()
    set(${out} "\"$INSTDIR\\${path}\"" PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
if(NOT files)
  message(FATAL_ERROR "${STAGE} holds no files")
endif()
list(SORT files)

set(folders "")
set(bytes 0)
foreach(file IN LISTS files)
  # The file's folder and every folder above it, to the top.
  set(folder ${file})
  while(NOT folder STREQUAL "")
    get_filename_component(folder "${folder}" DIRECTORY)
    list(APPEND folders "${folder}")
  endwhile()
  file(SIZE ${STAGE}/${file} size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders)

set(install "!macro WIRLEP_INSTALL_FILES\n")
foreach(folder IN LISTS folders)
  nsis_installed(quoted "${folder}")
  string(APPEND install "  SetOutPath ${quoted}\n")
  foreach(file IN LISTS files)
    get_filename_component(file_folder ${file} DIRECTORY)
    if(file_folder STREQUAL folder)
      # Read by makensis when building, where "$" is no variable.
      string(APPEND install "  File \"${STAGE}/${file}\"\n")
    endif()
  endforeach()
endforeach()
string(APPEND install "!macroend\n")

set(remove "!macro WIRLEP_REMOVE_FILES\n")
foreach(file IN LISTS files)
  nsis_installed(quoted "${file}")
  string(APPEND remove "  Delete ${quoted}\n")
endforeach()
# A folder sorts after its parent: backwards, each comes before it.
list(REVERSE folders)
foreach(folder IN LISTS folders)
  if(NOT folder STREQUAL "")
    nsis_installed(quoted "${folder}")
    string(APPEND remove "  RMDir ${quoted}\n")
  endif()
endforeach()
string(APPEND remove "!macroend\n")

math(EXPR kb "(${bytes} + 1023) / 1024")
file(WRITE ${OUTPUT} "; Written by nsis_files.cmake from ${STAGE}\n${install}${remove}"
                     "!define WIRLEP_SIZE_KB ${kb}\n")
