# Network and identity tests under Wine, and the local vendor server as a CTest fixture that
# every Wine test talking to the vendor's servers requires:
#   set_tests_properties(<test> PROPERTIES FIXTURES_REQUIRED vendor_server RESOURCE_LOCK vendor_server)
# Test builds only: the test talks to the local vendor server the test origins point at.
if(QV_TEST_BUILD)
  # The PlatformTrust cases need the chain engine to trust the platform test root: they run in
  # net_platform_trust_wine_test below.
  qv_add_test(net_wine_test MIN_CASES 23 WIN_ONLY SOURCES ${CMAKE_CURRENT_LIST_DIR}/net_wine_test.cpp LIBS qv_net qv_core crypt32
              TIMEOUT 300 ARGS --gtest_filter=-PlatformTrust.*)
endif()

if(WIN32 AND QV_TEST_BUILD AND TEST net_wine_test)
  set(qv_vendor_server ${CMAKE_SOURCE_DIR}/tests/vendor_server/server.py)
  # Runs in the background once it answers, and ends with the ctest process that started it
  # even when the cleanup test never runs.
  add_test(NAME vendor_server_start
           COMMAND /usr/bin/python3 ${qv_vendor_server} --state ${QV_VENDOR_STATE_DIR} --port ${QV_VENDOR_PORT}
                   --daemon --watch-parent)
  set_tests_properties(vendor_server_start PROPERTIES FIXTURES_SETUP vendor_server TIMEOUT 60)
  add_test(NAME vendor_server_stop COMMAND /usr/bin/python3 ${qv_vendor_server} --state ${QV_VENDOR_STATE_DIR} --stop)
  set_tests_properties(vendor_server_stop PROPERTIES FIXTURES_CLEANUP vendor_server TIMEOUT 30)
  set_tests_properties(net_wine_test PROPERTIES FIXTURES_REQUIRED vendor_server RESOURCE_LOCK vendor_server)

  # The same program's PlatformTrust cases, where the chain engine's only root is the vendor
  # server's platform test root (made by the server at start in <state>/platform-roots).
  add_test(NAME net_platform_trust_wine_test
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/with_platform_roots.sh ${QV_VENDOR_STATE_DIR}/platform-roots
                   ${CMAKE_BINARY_DIR}/wineprefix-platform
                   ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:net_wine_test> --gtest_filter=PlatformTrust.*
                   --gtest_output=xml:${QV_RESULTS_ARG}/net_platform_trust_wine_test.xml)
  set_tests_properties(net_platform_trust_wine_test PROPERTIES TIMEOUT 120 ENVIRONMENT QV_EXEC_LIMIT=110
                       FIXTURES_REQUIRED vendor_server RESOURCE_LOCK vendor_server)
endif()
