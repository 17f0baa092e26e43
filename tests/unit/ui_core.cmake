# Platform-free DuiLib core: values, markup, ZIP package and skin source, image strings and
# decoding, layout arithmetic and text rules. Runs in every build (natively on the host).
qv_add_test(ui_core_test MIN_CASES 32
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ui/values_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/markup_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/zip_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/layout_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/text_image_test.cpp
  LIBS duilib_core qv_zlib qv_stb)
