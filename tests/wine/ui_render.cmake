# DuiLib's drawing layer against Wine's GDI: off-screen pixels at chosen points.
qv_add_test(ui_render_wine_test WIN_ONLY TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui_render_wine_test.cpp
  LIBS duilib_render qv_zlib qv_stb)
