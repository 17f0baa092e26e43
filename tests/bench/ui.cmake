# DuiLib core: markup parsing against pugixml on the same bytes, and loading the whole skin
# package. Host benchmark builds only (host-bench preset); not run by the tests.
if(NOT WIN32 AND CMAKE_BUILD_TYPE STREQUAL "Release")
  find_package(benchmark QUIET)
  find_package(pugixml QUIET)
  if(benchmark_FOUND AND pugixml_FOUND)
    add_executable(ui_bench ${CMAKE_CURRENT_LIST_DIR}/ui_bench.cpp)
    target_link_libraries(ui_bench PRIVATE duilib_core qv_zlib pugixml::pugixml benchmark::benchmark)
    target_compile_definitions(ui_bench PRIVATE QV_SKIN_DIR="${CMAKE_SOURCE_DIR}/skin" QV_SKIN_ZIP_PATH="${QV_SKIN_ZIP}")
    add_dependencies(ui_bench qv_skin_package)
  endif()
endif()
