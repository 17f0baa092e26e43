qv_add_test(core_unit_test MIN_CASES 4 SOURCES ${CMAKE_CURRENT_LIST_DIR}/core_test.cpp LIBS qv_core)
qv_add_test(app_unit_test MIN_CASES 1 SOURCES ${CMAKE_CURRENT_LIST_DIR}/run_mode_test.cpp LIBS qv_app_pf)
