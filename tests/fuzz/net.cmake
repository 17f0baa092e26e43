# libFuzzer target for the configuration reply decoder (text from the network). Host build with
# clang only; a 10-second smoke run over the committed seeds, new inputs kept in the build tree.
if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_executable(net_fuzz_config ${CMAKE_CURRENT_LIST_DIR}/net/config_fuzz.cpp ${CMAKE_SOURCE_DIR}/net/ToolConfigDecode.cpp)
  # RapidJSON 1.1's stack adds to a null pointer before its first allocation (see net/CMakeLists.txt).
  target_compile_options(net_fuzz_config PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize=pointer-overflow
                         -fno-omit-frame-pointer)
  target_link_options(net_fuzz_config PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(net_fuzz_config PRIVATE qv_core qv_rapidjson)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/net_fuzz_config_corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME net_fuzz_config_smoke
           COMMAND net_fuzz_config -max_total_time=10 -rss_limit_mb=2048 -timeout=10 ${corpus}
                   ${CMAKE_CURRENT_LIST_DIR}/net/seeds/config)
  set_tests_properties(net_fuzz_config_smoke PROPERTIES TIMEOUT 60)
endif()
