# Writes the installer's file list from the folder the zip is packed from,
# as macros that call a macro of the installer's for each entry:
#   WIRLEP_EACH_FILE M    M FOLDER FILE STAGED, for every file but the word lists
#   WIRLEP_EACH_LIST M    M NAME STAGED SHA256, for each word list (they lie at
#                         the top), with the SHA-256 of its contents
#   WIRLEP_EACH_FOLDER M  M FOLDER, for each folder below the top, deepest first
# FOLDER and FILE are relative to the install folder, with backslashes and
# "$" doubled for NSIS; STAGED is the file as makensis reads it when building.
# WIRLEP_SIZE_KB is their size, for the entry under Apps; WIRLEP_DISK_KB the
# room they take on a disk of 4 KiB clusters.
# Usage: cmake -DSTAGE=folder -DWORD_LISTS="a.txt;b.txt" -DOUTPUT=files.nsh -P nsis_files.cmake
cmake_minimum_required(VERSION 3.25)

function(nsis_path out path)
  string(REPLACE "$" "$$" path "${path}")
  string(REPLACE "/" "\\" path "${path}")
  set(${out} "\"${path}\"" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
foreach(list IN LISTS WORD_LISTS)
  if(NOT list IN_LIST files)
    message(FATAL_ERROR "${STAGE} holds no word list ${list}")
  endif()
endforeach()
list(REMOVE_ITEM files ${WORD_LISTS})
list(SORT files)

set(folders "")
set(bytes 0)
set(disk_kb 0)
set(each_file "!macro WIRLEP_EACH_FILE _m\n")
foreach(file IN LISTS files ITEMS ${WORD_LISTS})
  file(SIZE ${STAGE}/${file} size)
  math(EXPR bytes "${bytes} + ${size}")
  math(EXPR disk_kb "${disk_kb} + (${size} + 4095) / 4096 * 4")
endforeach()
foreach(file IN LISTS files)
  get_filename_component(folder "${file}" DIRECTORY)
  # The file's folder and every folder above it, to the top.
  set(up "${folder}")
  while(NOT up STREQUAL "")
    list(APPEND folders "${up}")
    get_filename_component(up "${up}" DIRECTORY)
  endwhile()
  nsis_path(quoted_folder "${folder}")
  nsis_path(quoted_file "${file}")
  string(APPEND each_file "  !insertmacro $" "{_m} ${quoted_folder} ${quoted_file} \"${STAGE}/${file}\"\n")
endforeach()
string(APPEND each_file "!macroend\n")

set(each_list "!macro WIRLEP_EACH_LIST _m\n")
foreach(list IN LISTS WORD_LISTS)
  file(SHA256 ${STAGE}/${list} hash)
  string(APPEND each_list "  !insertmacro $" "{_m} \"${list}\" \"${STAGE}/${list}\" ${hash}\n")
endforeach()
string(APPEND each_list "!macroend\n")

# A folder sorts after its parent: backwards, each comes before it.
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
set(each_folder "!macro WIRLEP_EACH_FOLDER _m\n")
foreach(folder IN LISTS folders)
  nsis_path(quoted "${folder}")
  string(APPEND each_folder "  !insertmacro $" "{_m} ${quoted}\n")
endforeach()
string(APPEND each_folder "!macroend\n")

math(EXPR kb "(${bytes} + 1023) / 1024")
file(WRITE ${OUTPUT} "; Written by nsis_files.cmake from ${STAGE}\n"
                     "${each_file}${each_list}${each_folder}!define WIRLEP_SIZE_KB ${kb}\n"
                     "!define WIRLEP_DISK_KB ${disk_kb}\n")
