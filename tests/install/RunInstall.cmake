# One step of the install contract, run by CTest as `cmake -P`:
#   MODE=install           installs the build into PREFIX and checks what is there;
#   MODE=find_package      builds and runs the consumer against PREFIX;
#   MODE=find_package_core builds and runs the README example against PREFIX without Tcl;
#   MODE=python            imports the installed Python package from outside the source tree,
#                          and again after the prefix has moved;
#   MODE=add_subdirectory  builds and runs the consumer with the source tree added to it.
# The consumers build two programs: the C++ example of the README, as written there, and one
# that also reaches the board interpreter; both read the sample board.
cmake_minimum_required(VERSION 3.21)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${status}):\n${out}\n${err}")
  endif()
  set(OUT "${out}" PARENT_SCOPE)
endfunction()

function(expect what actual expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${what}:\n  expected [${expected}]\n  got      [${actual}]")
  endif()
endfunction()

set(BOARD ${SOURCE}/boards/northwind_dk2.qbd)
set(SCRIPTS ${PREFIX}/share/lyrwiz)
set(CONSUMER_OUTPUT "family ketral4\nQOR_UART_V1 uart_0\ncommands qget_qbd_handle qget_qbd_rule qget_qbd_value\n")
set(README_OUTPUT "family ketral4\nuart_0\n")
string(REGEX MATCH "^[0-9]+" MAJOR "${VERSION}")
set(INTERNAL_HEADERS Lexer.h Parser.h ValueText.h BoardCommands.h BoardScripts.h ExpansionIndex.h
                     QbdPackage.h)

function(check_libraries)
  foreach(library IN LISTS LIBRARIES)
    foreach(name lib${library}.so.${VERSION} lib${library}.so.${MAJOR} lib${library}.so)
      if(NOT EXISTS ${PREFIX}/lib/${name})
        message(FATAL_ERROR "not installed: lib/${name}")
      endif()
    endforeach()
    file(READ_SYMLINK ${PREFIX}/lib/lib${library}.so.${MAJOR} target)
    expect("soname link of ${library}" "${target}" "lib${library}.so.${VERSION}")
  endforeach()
endfunction()

function(check_headers)
  foreach(header MBD.h LyrWiz_BoardTclIf.h LyrWiz_BoardTclCommandsRegister.h LyrBoard.h)
    if(NOT EXISTS ${PREFIX}/include/lyrwiz/${header})
      message(FATAL_ERROR "public header not installed: ${header}")
    endif()
  endforeach()
  file(GLOB_RECURSE installed ${PREFIX}/include/*)
  foreach(file IN LISTS installed)
    get_filename_component(name ${file} NAME)
    if(name IN_LIST INTERNAL_HEADERS)
      message(FATAL_ERROR "internal header installed: ${file}")
    endif()
  endforeach()
endfunction()

function(check_exported_targets)
  file(GLOB files ${PREFIX}/lib/cmake/LyrWiz_Mbd/*.cmake)
  foreach(file IN LISTS files)
    file(READ ${file} text)
    foreach(path "${TCL_LIBRARY}" "${TCL_INCLUDE_PATH}")
      string(FIND "${text}" "${path}" at)
      if(NOT at EQUAL -1)
        message(FATAL_ERROR "${file} names the build machine's Tcl: ${path}")
      endif()
    endforeach()
  endforeach()
endfunction()

function(check_programs)
  foreach(file share/man/man1/qbd.1 share/man/man1/qbdsh.1
               share/bash-completion/completions/qbd share/zsh/site-functions/_qbd)
    if(NOT EXISTS ${PREFIX}/${file})
      message(FATAL_ERROR "not installed: ${file}")
    endif()
  endforeach()
  run(${PREFIX}/bin/qbd --version)
  expect("qbd --version" "${OUT}" "qbd ${VERSION}\n")
  run(${PREFIX}/bin/qbdsh --version)
  expect("qbdsh --version" "${OUT}" "qbdsh ${VERSION}\n")
  run(${PREFIX}/bin/qbd info ${BOARD} --json)
  if(NOT OUT MATCHES "\"family\": \"ketral4\"")
    message(FATAL_ERROR "installed qbd info:\n${OUT}")
  endif()
  # The installed shell finds the installed board-access scripts on its own.
  file(WRITE ${WORK}/scripts.tcl "puts [file normalize $env(QUORIN_VLK)]\nputs [info procs qbdlib::pin_locations]\n")
  run(${CMAKE_COMMAND} -E env --unset=QUORIN_VLK --unset=MYQUORIN
      ${PREFIX}/bin/qbdsh ${WORK}/scripts.tcl)
  expect("installed qbdsh scripts" "${OUT}" "${SCRIPTS}\n::qbdlib::pin_locations\n")
endfunction()

function(check_tcl_package)
  file(WRITE ${WORK}/package.tcl "puts [package require qbd]\nset b [qbd::open {${BOARD}}]\nputs [qget_qbd_value [lindex [qget_qbd_handle \$b block FPGA *] 0] ATTRIBUTE FAMILY]\nqbd::close \$b\n")
  run(${CMAKE_COMMAND} -E env TCLLIBPATH=${PREFIX}/lib/tcltk ${TCLSH} ${WORK}/package.tcl)
  expect("package in plain tclsh" "${OUT}" "${VERSION}\nketral4\n")
endfunction()

# The first C++ block of the README, as the source file `path`.
function(extract_readme_example path)
  file(READ ${SOURCE}/README.md text)
  set(fence "```cpp\n")
  string(FIND "${text}" "${fence}" begin)
  if(begin EQUAL -1)
    message(FATAL_ERROR "README.md has no C++ example")
  endif()
  string(LENGTH "${fence}" length)
  math(EXPR begin "${begin} + ${length}")
  string(SUBSTRING "${text}" ${begin} -1 text)
  string(FIND "${text}" "```" end)
  string(SUBSTRING "${text}" 0 ${end} text)
  file(WRITE ${path} "${text}")
endfunction()

# The README example alone, against the package found without COMPONENTS Tcl.
function(build_and_run_core)
  set(build ${WORK}/find_package_core)
  extract_readme_example(${WORK}/core-readme.cpp)
  file(REMOVE_RECURSE ${build})
  set(launcher "")
  if(LAUNCHER)
    set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
  endif()
  run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/find_package -B ${build} -G ${GENERATOR}
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${CXX} ${launcher} -DCORE=ON
      -DREADME_EXAMPLE=${WORK}/core-readme.cpp -DCMAKE_PREFIX_PATH=${PREFIX})
  run(${CMAKE_COMMAND} --build ${build} --target readme -j 2)
  execute_process(COMMAND ${build}/readme WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect("README example without Tcl (status ${status}, ${err})" "${out}" "${README_OUTPUT}")
endfunction()

# The installed package, imported by the interpreter it was built for from a folder outside the
# source and build trees; then the whole prefix moved elsewhere, which the relative RUNPATH of
# the extension must survive.
function(check_python)
  if(NOT PYTHON OR NOT PYTHON_DIR)
    message(FATAL_ERROR "no Python package was built")
  endif()
  set(script "import qbd, sys\nb = qbd.read(sys.argv[1])\nprint(qbd.__version__, b.fpga.family, qbd.__file__.startswith(sys.argv[2]))\n")
  file(WRITE ${WORK}/use_qbd.py "${script}")
  set(moved ${WORK}/moved-prefix)
  file(REMOVE_RECURSE ${moved})
  file(COPY ${PREFIX}/ DESTINATION ${moved})
  foreach(root ${PREFIX} ${moved})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=PYTHONPATH --unset=LD_LIBRARY_PATH
                            PYTHONPATH=${root}/${PYTHON_DIR} PYTHONNOUSERSITE=1
                            ${PYTHON} ${WORK}/use_qbd.py ${BOARD} ${root}
                    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    expect("python import from ${root} (status ${status}, ${err})" "${out}"
           "${VERSION} ketral4 True\n")
  endforeach()
  file(GLOB modules ${PREFIX}/${PYTHON_DIR}/qbd/_qbd*.so)
  run(readelf -d ${modules})
  if(NOT OUT MATCHES "RUNPATH[^\n]*\\$ORIGIN" OR OUT MATCHES "${BUILD}")
    message(FATAL_ERROR "the installed module's RUNPATH is not relative:\n${OUT}")
  endif()
endfunction()

function(build_and_run_consumer project)
  set(build ${WORK}/${project})
  # Every library under the same LyrWiz:: name whichever way the consumer takes us in.
  set(names "")
  foreach(library IN LISTS LIBRARIES)
    string(REGEX REPLACE "^LyrWiz_" "" name ${library})
    string(APPEND names "${separator}LyrWiz::${name}")
    set(separator "|")
  endforeach()
  extract_readme_example(${WORK}/${project}-readme.cpp)
  file(REMOVE_RECURSE ${build})
  set(launcher "")
  if(LAUNCHER)
    set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
  endif()
  run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/${project} -B ${build} -G ${GENERATOR}
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${CXX} ${launcher}
      -DREADME_EXAMPLE=${WORK}/${project}-readme.cpp -DEXPECTED_TARGETS=${names} ${ARGN})
  run(${CMAKE_COMMAND} --build ${build} --target consumer readme -j 2)
  run(${CMAKE_COMMAND} -E env QUORIN_VLK=${SOURCE} ${build}/consumer ${BOARD} QOR_UART_V1)
  expect("${project} consumer" "${OUT}" "${CONSUMER_OUTPUT}")
  # The README's example names the board relative to the source tree.
  execute_process(COMMAND ${build}/readme WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect("${project} README example (status ${status}, ${err})" "${out}" "${README_OUTPUT}")
endfunction()

file(MAKE_DIRECTORY ${WORK})
if(MODE STREQUAL "install")
  file(REMOVE_RECURSE ${PREFIX})
  run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX})
  check_libraries()
  check_headers()
  check_exported_targets()
  check_programs()
  check_tcl_package()
elseif(MODE STREQUAL "find_package_core")
  build_and_run_core()
elseif(MODE STREQUAL "python")
  check_python()
elseif(MODE STREQUAL "find_package")
  build_and_run_consumer(find_package -DCMAKE_PREFIX_PATH=${PREFIX})
elseif(MODE STREQUAL "add_subdirectory")
  build_and_run_consumer(add_subdirectory -DQBD_SOURCE=${SOURCE})
else()
  message(FATAL_ERROR "unknown MODE ${MODE}")
endif()
