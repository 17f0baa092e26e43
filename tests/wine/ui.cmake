# The window framework under Wine (Xvfb): real windows, real messages, the skin art of skin/res.
if(WIN32 AND TARGET duilib)
  qv_add_test(ui_wine_test WIN_ONLY TIMEOUT 120
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui_wine_test.cpp
    LIBS duilib)
  target_compile_definitions(ui_wine_test PRIVATE QV_SKIN_RES=L"Z:${CMAKE_SOURCE_DIR}/skin/res")
endif()
