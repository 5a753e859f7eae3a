# Turns an ICO file into resource statements that wirlep.rc includes: each
# image becomes a raw RT_ICON resource (type 3) with its own id, counting up
# from FIRST_IMAGE_ID, and a hand-built RT_GROUP_ICON (type 14) named GROUP_ID
# lists them in the file's order. Writing the ICON statement instead would let
# the resource compiler number the images itself.
#
# Usage: cmake -DICO=in.ico -DOUTPUT=out.rc2 -DGROUP_ID=1 -DFIRST_IMAGE_ID=30001
#              -P ico_to_rc.cmake
#
# The bytes go into the resource script as raw data, 16-bit little-endian
# words, so nothing binary has to be written here.

foreach(var ICO OUTPUT GROUP_ID FIRST_IMAGE_ID)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "ico_to_rc.cmake: ${var} is not set")
  endif()
endforeach()

file(SIZE "${ICO}" ico_size)
file(READ "${ICO}" ico HEX)

# The number at byte OFFSET, SIZE bytes long, little-endian.
function(read_le out offset size)
  math(EXPR end "${offset} + ${size}")
  if(end GREATER ico_size)
    message(FATAL_ERROR "${ICO}: cut short, needs ${end} bytes but has ${ico_size}")
  endif()
  set(value 0)
  math(EXPR index "${size} - 1")
  while(index GREATER_EQUAL 0)
    math(EXPR at "(${offset} + ${index}) * 2")
    string(SUBSTRING "${ico}" ${at} 2 byte)
    math(EXPR value "${value} * 256 + 0x${byte}")
    math(EXPR index "${index} - 1")
  endwhile()
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# Resource script raw data for a string of hex digits, two per byte.
function(raw_data out hex)
  string(LENGTH "${hex}" digits)
  math(EXPR odd "${digits} % 4")
  set(tail "")
  if(odd)
    math(EXPR last "${digits} - 2")
    string(SUBSTRING "${hex}" ${last} 2 byte)
    string(SUBSTRING "${hex}" 0 ${last} hex)
    set(tail ",\n  \"\\x${byte}\"")
  endif()
  # Byte pairs become words with the second byte high, twelve to a line.
  string(REGEX REPLACE "(..)(..)" "0x\\2\\1," words "${hex}")
  string(REGEX REPLACE "((0x....,){12})" "\\1\n  " words "${words}")
  string(REGEX REPLACE "[,\n ]+$" "" words "${words}")
  set(${out} "{\n  ${words}${tail}\n}" PARENT_SCOPE)
endfunction()

# The hex digits of VALUE as SIZE little-endian bytes.
function(le_hex out value size)
  set(hex "")
  foreach(i RANGE 1 ${size})
    math(EXPR byte "${value} % 256" OUTPUT_FORMAT HEXADECIMAL)
    string(REGEX REPLACE "^0x" "" byte "${byte}")
    string(LENGTH "${byte}" length)
    if(length EQUAL 1)
      set(byte "0${byte}")
    endif()
    string(APPEND hex "${byte}")
    math(EXPR value "${value} / 256")
  endforeach()
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

read_le(reserved 0 2)
read_le(type 2 2)
read_le(count 4 2)
if(NOT reserved EQUAL 0 OR NOT type EQUAL 1 OR count EQUAL 0)
  message(FATAL_ERROR "${ICO}: not an icon file")
endif()

get_filename_component(ico_name "${ICO}" NAME)
set(text "// Made from ${ico_name} by ico_to_rc.cmake; edits are overwritten.\n")
string(APPEND text "// ${count} images, ids ${FIRST_IMAGE_ID} upwards, in icon group ${GROUP_ID}.\n\n")

# GRPICONDIR: reserved, type 1 (icon), count.
le_hex(group 0 2)
le_hex(word 1 2)
string(APPEND group "${word}")
le_hex(word ${count} 2)
string(APPEND group "${word}")

math(EXPR last_image "${count} - 1")
foreach(image RANGE ${last_image})
  math(EXPR entry "6 + ${image} * 16")
  math(EXPR id "${FIRST_IMAGE_ID} + ${image}")
  math(EXPR size_at "${entry} + 8")
  math(EXPR offset_at "${entry} + 12")
  read_le(size ${size_at} 4)
  read_le(offset ${offset_at} 4)
  math(EXPR end "${offset} + ${size}")
  if(size EQUAL 0 OR end GREATER ico_size)
    message(FATAL_ERROR "${ICO}: image ${image} lies outside the file")
  endif()

  # GRPICONDIRENTRY: the ICONDIRENTRY's first 12 bytes (width, height,
  # colour count, reserved, planes, bit count, size), then the image's id.
  math(EXPR from "${entry} * 2")
  string(SUBSTRING "${ico}" ${from} 24 head)
  le_hex(word ${id} 2)
  string(APPEND group "${head}${word}")

  math(EXPR from "${offset} * 2")
  math(EXPR digits "${size} * 2")
  string(SUBSTRING "${ico}" ${from} ${digits} pixels)
  raw_data(block "${pixels}")
  string(APPEND text "// Image ${image}, ${size} bytes.\n${id} 3\n${block}\n\n")
endforeach()

raw_data(block "${group}")
string(APPEND text "// The icon group that names the images above.\n${GROUP_ID} 14\n${block}\n")

file(WRITE "${OUTPUT}" "${text}")
