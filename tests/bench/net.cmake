# Building one statistics report URL (AES + MD5 of a 200-byte payload). Host benchmark builds only.
if(NOT WIN32 AND CMAKE_BUILD_TYPE STREQUAL "Release")
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    add_executable(net_bench ${CMAKE_CURRENT_LIST_DIR}/net_bench.cpp)
    target_link_libraries(net_bench PRIVATE qv_net qv_core benchmark::benchmark_main)
  endif()
endif()
