# The installer plug-in's platform-free rules.
qv_add_test(plugin_rules_test MIN_CASES 8 HOST_ONLY
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/plugin_rules_test.cpp
  LIBS qv_plugin_rules)
