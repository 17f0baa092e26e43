# The main window's texts and row rules (platform-free part of windows/).
if(TARGET qv_windows)
  set(qv_windows_pf qv_windows)
else()
  set(qv_windows_pf qv_windows_texts)
endif()
qv_add_test(windows_rules_test MIN_CASES 4 SOURCES ${CMAKE_CURRENT_LIST_DIR}/windows_rules_test.cpp LIBS ${qv_windows_pf} HOST_ONLY)
