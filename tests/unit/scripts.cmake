# The test run's own counting (scripts/lib/summary.py): what it reads decides whether CI lands.
if(NOT WIN32)
  find_package(Python3 COMPONENTS Interpreter REQUIRED)
  add_test(NAME summary_rules_test
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/summary_test.py ${CMAKE_SOURCE_DIR}/scripts/lib)
endif()
