qv_add_test(engine_test MIN_CASES 7 HOST_ONLY SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_test.cpp LIBS qv_engine)
