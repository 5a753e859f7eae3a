# Run by CPack on the staged tree, before it is packed: strips the programs
# as Debian's dh_strip does, debugging symbols and the compiler's notes
# (.comment, .note) alike.
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS files)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46") # ELF
    execute_process(
      COMMAND "${CPACK_WIRLEP_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
      RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "strip failed on ${file}")
    endif()
  endif()
endforeach()
