# Engine, boot pass and launcher service under Wine. engine_wine_test needs no vendor server;
# both change machine-wide state (Flash Player keys, "Brenwick Service", "QuorvaneSvr"), so
# they hold the vendor_server lock like every other test that touches it.
if(WIN32 AND TARGET qv_boot)
  qv_add_test(engine_wine_test MIN_CASES 24 WIN_ONLY
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_wine_test.cpp ${CMAKE_CURRENT_LIST_DIR}/engine_wine_test.rc
    LIBS qv_boot qv_engine qv_net qv_core TIMEOUT 300)
  target_compile_definitions(engine_wine_test PRIVATE QV_RUNNER=L"Z:$<TARGET_FILE:qv_engine_runner>")
  add_dependencies(engine_wine_test qv_engine_runner)
  if(TEST engine_wine_test)  # the 32-bit build compiles the Wine tests but does not run them
    set_tests_properties(engine_wine_test PROPERTIES RESOURCE_LOCK vendor_server)
  endif()
endif()

# Against the local vendor server, the fixture programs and the real Quorvane.exe.
if(WIN32 AND QV_TEST_BUILD AND TARGET qv_boot AND TARGET Quorvane)
  qv_add_test(engine_server_wine_test MIN_CASES 11 WIN_ONLY SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_server_wine_test.cpp
    LIBS qv_boot qv_engine qv_net qv_core qv_rapidjson TIMEOUT 400)
  target_compile_definitions(engine_server_wine_test PRIVATE
    QV_APP_EXE=L"Z:$<TARGET_FILE:Quorvane>"
    QV_BRENWICK_FIXTURE=L"Z:$<TARGET_FILE:qv_brenwick_fixture>"
    QV_FLASH_FIXTURE=L"Z:$<TARGET_FILE:qv_flash_installer_fixture>"
    QV_RUNNER=L"Z:$<TARGET_FILE:qv_engine_runner>")
  add_dependencies(engine_server_wine_test Quorvane qv_brenwick_fixture qv_flash_installer_fixture qv_engine_runner)
  # The fixture is defined in net.cmake, which is read after this file; CTest resolves the
  # name when it runs, so no test of it is needed here.
  if(TEST engine_server_wine_test)
    # Its run-mode case opens Quorvane windows on the shared screen, where they would cover
    # the wizards whose pixels the plug-in tests read.
    set_tests_properties(engine_server_wine_test PROPERTIES RESOURCE_LOCK "vendor_server;qv_screen"
                         FIXTURES_REQUIRED vendor_server)
  endif()
endif()
