# Runs one qbd command and compares what it prints and its exit status with what is expected.
#
#   cmake -DQBD=... -DWORKDIR=... -DARGS=a|b|c -DSTATUS=n -DSTDOUT=file [-DSTDERR=file]
#         -P RunCase.cmake
#
# ARGS separates the command's arguments with "|". With QBD_UPDATE_EXPECTED set in the
# environment the expected files are rewritten from this run instead (review the diff).
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${QBD} ${args}
                WORKING_DIRECTORY ${WORKDIR}
                OUTPUT_VARIABLE out
                ERROR_VARIABLE err
                RESULT_VARIABLE status)

if(DEFINED ENV{QBD_UPDATE_EXPECTED})
  file(WRITE ${STDOUT} "${out}")
  if(STDERR)
    file(WRITE ${STDERR} "${err}")
  endif()
  if(NOT status STREQUAL STATUS)
    message(WARNING "qbd ${ARGS}: status ${status}, the test expects ${STATUS}")
  endif()
  return()
endif()

set(failed "")
if(NOT status STREQUAL STATUS)
  string(APPEND failed "exit status ${status}, expected ${STATUS}\n")
endif()

function(compare what actual file)
  if(NOT EXISTS ${file})
    set(failed "${failed}missing expected file ${file}\n" PARENT_SCOPE)
    return()
  endif()
  file(READ ${file} expected)
  if(NOT actual STREQUAL expected)
    get_filename_component(base ${file} NAME)
    set(tmp ${CMAKE_CURRENT_BINARY_DIR}/actual-${base})
    file(WRITE ${tmp} "${actual}")
    execute_process(COMMAND diff -u ${file} ${tmp} OUTPUT_VARIABLE diff)
    set(failed "${failed}${what} differs from ${file}:\n${diff}\n" PARENT_SCOPE)
  endif()
endfunction()

compare(stdout "${out}" ${STDOUT})
if(STDERR)
  compare(stderr "${err}" ${STDERR})
endif()

if(failed)
  message(FATAL_ERROR "qbd ${ARGS}\n${failed}")
endif()
