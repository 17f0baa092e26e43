# The main window, its rows, the settings dialog and the tool menu, created for real under
# Wine (Xvfb) and driven with mouse messages; the runs use the local vendor server.
if(WIN32 AND QV_TEST_BUILD AND TARGET qv_windows AND TARGET qv_boot AND TARGET qv_skin_package)
  set(qv_windows_rc ${CMAKE_CURRENT_BINARY_DIR}/windows_ui_wine_test.rc)
  file(GENERATE OUTPUT ${qv_windows_rc}
       CONTENT "107 ICON \"${QV_APP_ICON}\"\n130 ZIPRES \"${QV_SKIN_ZIP}\"\n")
  set_source_files_properties(${qv_windows_rc} PROPERTIES OBJECT_DEPENDS "${QV_SKIN_ZIP};${QV_APP_ICON}")
  qv_add_test(windows_ui_wine_test MIN_CASES 18 WIN_ONLY NO_MAIN TIMEOUT 600
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/windows_ui_wine_test.cpp ${qv_windows_rc}
    LIBS qv_windows qv_boot qv_engine qv_net qv_core ole32 gdiplus)
  if(TARGET windows_ui_wine_test)
    # The fixture programs are defined after this folder; dependencies on them may still be named.
    set(qv_windows_shots ${CMAKE_BINARY_DIR}/screenshots/windows)
    file(MAKE_DIRECTORY ${qv_windows_shots})
    target_compile_definitions(windows_ui_wine_test PRIVATE
      QV_FLASH_FIXTURE=L"Z:$<TARGET_FILE:qv_flash_installer_fixture>" QV_SHOT_DIR=L"Z:${qv_windows_shots}")
    add_dependencies(windows_ui_wine_test qv_skin_package qv_flash_installer_fixture)
    # The real executable, for closing its window from outside.
    if(TARGET Quorvane)
      target_compile_definitions(windows_ui_wine_test PRIVATE QV_APP_EXE=L"Z:$<TARGET_FILE:Quorvane>")
      add_dependencies(windows_ui_wine_test Quorvane)
    endif()
  endif()
  if(TEST windows_ui_wine_test AND TEST vendor_server_start)
    set_tests_properties(windows_ui_wine_test PROPERTIES FIXTURES_REQUIRED vendor_server RESOURCE_LOCK "vendor_server;qv_screen")
  endif()
endif()

# End to end: the real Quorvane.exe on a demo machine in a prefix and on a display of its own,
# clicked through with xdotool (tests/wine/windows_e2e_test.sh).
if(WIN32 AND QV_TEST_BUILD AND TARGET Quorvane AND TEST vendor_server_start)
  add_test(NAME windows_e2e_test COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/windows_e2e_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(windows_e2e_test PROPERTIES TIMEOUT 300 FIXTURES_REQUIRED vendor_server
    RESOURCE_LOCK vendor_server)
endif()
