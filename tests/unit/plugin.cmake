# The installer plug-in's platform-free rules.
qv_add_test(plugin_rules_test HOST_ONLY
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/plugin_rules_test.cpp
  LIBS qv_plugin_rules)
