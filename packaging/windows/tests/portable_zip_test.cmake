# The portable zip as a user unpacks it: one folder Tindora holding exactly the
# program that was built, the Chinese readme and the licence, which Notepad
# opens as they are (CR LF; the readme UTF-8 with a BOM); the readme names the
# settings file, the version and the licence, which is LICENSE word for word.
#   cmake -DZIP=... -DEXE=... -DVERSION=... -DLICENSE=... -DSCRATCH=... -P portable_zip_test.cmake

# Every line of a file ends in CR LF; LINES is set to how many there are.
function(check_crlf file)
  file(READ ${file} hex HEX)
  # file(READ) as text drops carriage returns: look at the bytes.
  string(REGEX REPLACE "(..)" "\\1;" bytes "${hex}")
  set(previous "")
  set(count 0)
  foreach(byte IN LISTS bytes)
    if(byte STREQUAL "0a")
      if(NOT previous STREQUAL "0d")
        message(FATAL_ERROR "a line of ${file} ends in LF alone")
      endif()
      math(EXPR count "${count} + 1")
    elseif(previous STREQUAL "0d")
      message(FATAL_ERROR "${file} has a CR alone")
    endif()
    set(previous ${byte})
  endforeach()
  set(LINES ${count} PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} WORKING_DIRECTORY ${SCRATCH} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${ZIP}: ${status}")
endif()

file(GLOB_RECURSE files RELATIVE ${SCRATCH} ${SCRATCH}/*)
list(SORT files)
if(NOT files STREQUAL "Tindora/LICENSE.txt;Tindora/readme.txt;Tindora/tindora.exe")
  message(FATAL_ERROR "the zip holds ${files}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SCRATCH}/Tindora/tindora.exe ${EXE}
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "the zip's tindora.exe is not the one built")
endif()

file(READ ${SCRATCH}/Tindora/readme.txt readme HEX)
if(NOT readme MATCHES "^efbbbf")
  message(FATAL_ERROR "the readme has no UTF-8 BOM")
endif()
check_crlf(${SCRATCH}/Tindora/readme.txt)
if(LINES LESS 5)
  message(FATAL_ERROR "the readme has ${LINES} lines")
endif()
file(READ ${SCRATCH}/Tindora/readme.txt text)
foreach(needed "time.txt" "起始位置" "shell:startup" "Tindora ${VERSION} 绿色版" "MIT" "LICENSE.txt")
  string(FIND "${text}" "${needed}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the readme does not say \"${needed}\"")
  endif()
endforeach()

check_crlf(${SCRATCH}/Tindora/LICENSE.txt)
file(READ ${SCRATCH}/Tindora/LICENSE.txt licence)
file(READ ${LICENSE} expected)
if(NOT licence STREQUAL expected)
  message(FATAL_ERROR "the zip's LICENSE.txt is not ${LICENSE}")
endif()
file(REMOVE_RECURSE ${SCRATCH})
