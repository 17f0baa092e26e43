# DuiLib's drawing layer against Wine's GDI: off-screen pixels at chosen points, and the
# program's skin package embedded as resource ZIPRES 130 exactly as the executable carries it.
if(WIN32 AND TARGET duilib_render AND TARGET duilib)
  set(ui_render_rc ${CMAKE_CURRENT_BINARY_DIR}/ui_render_skin.rc)
  file(WRITE ${ui_render_rc} "130 ZIPRES \"${QV_SKIN_ZIP}\"\n")
  set_source_files_properties(${ui_render_rc} PROPERTIES OBJECT_DEPENDS ${QV_SKIN_ZIP})
  qv_add_test(ui_render_wine_test MIN_CASES 10 WIN_ONLY TIMEOUT 120
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui_render_wine_test.cpp ${ui_render_rc}
    LIBS duilib duilib_render qv_zlib qv_stb)
  target_compile_definitions(ui_render_wine_test PRIVATE QV_SKIN_RES=L"Z:${CMAKE_SOURCE_DIR}/skin/res")
  add_dependencies(ui_render_wine_test qv_skin_package)
endif()
