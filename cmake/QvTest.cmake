# qv_add_test(<name> MIN_CASES n SOURCES ... [LIBS ...] [HOST_ONLY] [WIN_ONLY] [TIMEOUT s])
#
# One GoogleTest executable registered as one CTest test. Each run writes its GoogleTest XML
# to ${QV_RESULTS}/<name>.xml, which scripts/test adds up into the one summary line.
# MIN_CASES is the number of cases the executable has at least: each registered test writes
# "<name> <n>" to ${CMAKE_BINARY_DIR}/test-expectations.txt, and the summary counts a suite
# that ran fewer cases, or left no XML, as failed (scripts/lib/summary.py). Windows
# test executables run under Wine through CMAKE_CROSSCOMPILING_EMULATOR, so the XML path is
# given as a Windows path on Wine's Z: drive.
set(QV_RESULTS ${CMAKE_BINARY_DIR}/test-results)
set(QV_TEST_EXPECTATIONS ${CMAKE_BINARY_DIR}/test-expectations.txt)
file(WRITE ${QV_TEST_EXPECTATIONS} "# <GoogleTest executable> <least number of cases>, written by qv_add_test\n")
file(MAKE_DIRECTORY ${QV_RESULTS})
if(WIN32)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/lib/wine-exec)
  set(QV_RESULTS_ARG "Z:${QV_RESULTS}")
else()
  set(QV_RESULTS_ARG "${QV_RESULTS}")
endif()

function(qv_add_test name)
  cmake_parse_arguments(T "HOST_ONLY;WIN_ONLY;NO_MAIN" "TIMEOUT;MIN_CASES" "SOURCES;LIBS;ARGS" ${ARGN})
  if(NOT T_MIN_CASES MATCHES "^[1-9][0-9]*$")
    message(FATAL_ERROR "qv_add_test(${name}): MIN_CASES <number of cases, at least 1> is missing")
  endif()
  if(T_HOST_ONLY AND WIN32)
    return()
  endif()
  if(T_WIN_ONLY AND NOT WIN32)
    return()
  endif()
  # The release build carries no test origins and runs only its own release checks; every
  # Windows suite runs on the two test builds.
  if(WIN32 AND NOT QV_TEST_BUILD)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  if(T_NO_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${QV_RESULTS_ARG}/${name}.xml ${T_ARGS}
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  file(APPEND ${QV_TEST_EXPECTATIONS} "${name} ${T_MIN_CASES}\n")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(WIN32)
    # The Wine wrapper stops the program a little before CTest would kill the wrapper, so the
    # output of a hanging program is still shown.
    math(EXPR limit "${T_TIMEOUT} - 10")
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "QV_EXEC_LIMIT=${limit}")
  endif()
endfunction()
