qv_add_test(net_unit_test MIN_CASES 15 SOURCES ${CMAKE_CURRENT_LIST_DIR}/net_test.cpp ${CMAKE_CURRENT_LIST_DIR}/identity_test.cpp
            LIBS qv_net qv_core)
