# The window framework under Wine (Xvfb): real windows, real messages, the skin art of skin/res.
if(WIN32 AND TARGET duilib)
  qv_add_test(ui_wine_test MIN_CASES 18 WIN_ONLY TIMEOUT 180
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui_wine_test.cpp
    LIBS duilib)
  target_compile_definitions(ui_wine_test PRIVATE
    QV_SKIN_RES=L"Z:${CMAKE_SOURCE_DIR}/skin/res"
    QV_FAILURE_FIXTURE=L"Z:$<TARGET_FILE:ui_skin_failure_fixture>"
    QV_FAILURE_FIXTURE_EMPTY=L"Z:$<TARGET_FILE:ui_skin_failure_fixture_empty>")
  add_dependencies(ui_wine_test ui_skin_failure_fixture ui_skin_failure_fixture_empty)
  # The menu's picked names travel as heap copies that the owner frees: the menu tests again
  # under Wine's heap checker, where a double free or a damaged block prints a heap warning.
  if(TEST ui_wine_test)  # the 32-bit build compiles the Wine tests but does not run them
    # It moves the real pointer and reads the screen: no other test's window may be on it.
    set_property(TEST ui_wine_test APPEND PROPERTY RESOURCE_LOCK qv_screen)
    # Passing takes both: a zero exit code (no PASS_REGULAR_EXPRESSION, which would make CTest
    # ignore it, so a crash after the last case fails) and no heap warning in the output. Its
    # own XML and least number of cases let the summary see that the menu cases really ran.
    add_test(NAME ui_menu_heap_check
             COMMAND ui_wine_test --gtest_filter=*Menu* --gtest_output=xml:${QV_RESULTS_ARG}/ui_menu_heap_check.xml
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    file(APPEND ${QV_TEST_EXPECTATIONS} "ui_menu_heap_check 3\n")
    set_tests_properties(ui_menu_heap_check PROPERTIES TIMEOUT 120
      ENVIRONMENT "WINEDEBUG=warn+heap,err+heap;QV_EXEC_LIMIT=110"
      FAIL_REGULAR_EXPRESSION "(warn|err):heap|FAILED"
      RESOURCE_LOCK qv_screen)
  endif()

  # The installer plug-in's flavour of the same library.
  qv_add_test(ui_plugin_flavour_wine_test MIN_CASES 1 WIN_ONLY TIMEOUT 60
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui_plugin_flavour_wine_test.cpp
    LIBS duilib_plugin)
endif()
