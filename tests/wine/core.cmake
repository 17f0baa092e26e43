qv_add_test(core_wine_test MIN_CASES 10 WIN_ONLY SOURCES ${CMAKE_CURRENT_LIST_DIR}/core_wine_test.cpp LIBS qv_core shell32)
if(WIN32)
  target_compile_definitions(core_wine_test PRIVATE
    QV_CHILD_EXE="Z:$<TARGET_FILE:qv_child>"
    QV_SETTINGS_CHILD_EXE="Z:$<TARGET_FILE:qv_settings_child>"
    QV_APP_EXE="Z:$<TARGET_FILE:Quorvane>"
    QV_APP_VERSION="${PROJECT_VERSION}")
  add_dependencies(core_wine_test qv_child qv_settings_child Quorvane)
endif()
