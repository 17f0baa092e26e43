# The installer plug-in under Wine: the ANSI plug-in of the build's architecture driven by a test
# host that plays the installer, and the product's installer script built around the plug-in.
if(WIN32 AND TARGET nsQuorvanePlug)
  set(QV_PLUGIN_SHOTS ${CMAKE_BINARY_DIR}/screenshots/plugin)
  qv_add_test(plugin_wine_test MIN_CASES 14 WIN_ONLY TIMEOUT 300
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/plugin_wine_test.cpp
    LIBS gdiplus shell32 ole32 user32 gdi32)
  target_compile_definitions(plugin_wine_test PRIVATE
    QV_PLUGIN_DLL=L"Z:$<TARGET_FILE:nsQuorvanePlug>"
    QV_SKIN_DIR="Z:${CMAKE_SOURCE_DIR}/packaging"
    QV_SHOT_DIR=L"Z:${QV_PLUGIN_SHOTS}")
  add_dependencies(plugin_wine_test nsQuorvanePlug)
endif()

# The product script as a real NSIS installer with a trace of the wizard's steps in %TEMP%: on
# the 64-bit build an amd64-unicode installer around the Unicode plug-in, on the 32-bit build
# the x86-ansi installer around the ANSI plug-in, as the release ships it.
if(WIN32 AND QV_MAKENSIS AND (TARGET nsQuorvanePlugUnicode OR CMAKE_SIZEOF_VOID_P EQUAL 4))
  set(QV_TEST_INSTALLER ${CMAKE_BINARY_DIR}/plugin/QuorvaneWizardTest.exe)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    qv_nsis_installer(plugin_test_installer ${QV_TEST_INSTALLER} nsQuorvanePlugUnicode
                      AMD64_UNICODE TRACE "$TEMP\\qv_wizard_trace.txt")
  else()
    qv_nsis_installer(plugin_test_installer ${QV_TEST_INSTALLER} nsQuorvanePlug
                      TRACE "$TEMP\\qv_wizard_trace.txt")
  endif()
  qv_add_test(plugin_installer_wine_test MIN_CASES 1 WIN_ONLY TIMEOUT 300
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/plugin_installer_wine_test.cpp
    LIBS gdiplus shell32 ole32 user32 gdi32)
  target_compile_definitions(plugin_installer_wine_test PRIVATE
    QV_TEST_INSTALLER=L"Z:${QV_TEST_INSTALLER}"
    QV_SHOT_DIR=L"Z:${QV_PLUGIN_SHOTS}")
  if(TARGET Quorvane)
    target_compile_definitions(plugin_installer_wine_test PRIVATE QV_HAS_APP)
  endif()
  add_dependencies(plugin_installer_wine_test plugin_test_installer)
endif()

# Both programs read pixels off the shared Xvfb screen, where the wizards open centred: they
# must not run beside another test whose windows could cover theirs.
foreach(t plugin_wine_test plugin_installer_wine_test)
  if(TEST ${t})
    set_property(TEST ${t} APPEND PROPERTY RESOURCE_LOCK qv_screen)
  endif()
endforeach()
# The installer test opens the installed Quorvane.exe after its finish page: a test build,
# which checks this machine's services and sends its "active" report to the vendor server,
# so it must not run beside the tests that count those reports or change those services.
if(TEST plugin_installer_wine_test)
  set_property(TEST plugin_installer_wine_test APPEND PROPERTY RESOURCE_LOCK vendor_server)
endif()
