# The program's skin package laid out in real framework windows under Wine (Xvfb).
if(WIN32 AND TARGET duilib AND TARGET qv_skin_package)
  qv_add_test(ui_skin_wine_test MIN_CASES 4 WIN_ONLY TIMEOUT 120
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui_skin_wine_test.cpp
    LIBS duilib)
  get_filename_component(qv_skin_zip_dir ${QV_SKIN_ZIP} DIRECTORY)
  target_compile_definitions(ui_skin_wine_test PRIVATE QV_SKIN_ZIP_DIR=L"Z:${qv_skin_zip_dir}")
  add_dependencies(ui_skin_wine_test qv_skin_package)
endif()
