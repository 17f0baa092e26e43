# libFuzzer targets for DuiLib's parsers of skin input: the markup parser, the ZIP package
# reader, the image decoder and the image-string / attribute-list / value syntaxes. Host build with clang only.
# The fuzzed sources are compiled into each target so that they carry the fuzzer's coverage
# instrumentation. Each target has a 20-second smoke run over its committed seeds; new inputs
# land in a corpus folder in the build tree, never in the seeds.
if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(ui_fuzz_core ${CMAKE_SOURCE_DIR}/ui/core)
  set(ui_fuzz_targets
    "ui_fuzz_markup|markup_fuzz.cpp|markup|AttributeList.cpp,ImageString.cpp,SkinMarkup.cpp,SkinSource.cpp,Utf8.cpp,ValueSyntax.cpp,ZipArchive.cpp"
    "ui_fuzz_zip|zip_fuzz.cpp|zip|SkinSource.cpp,Utf8.cpp,ZipArchive.cpp"
    "ui_fuzz_imagestring|imagestring_fuzz.cpp|imagestring|AttributeList.cpp,ImageString.cpp,TextStyle.cpp,Utf8.cpp,ValueSyntax.cpp"
    "ui_fuzz_image|image_fuzz.cpp|image|ImageDecode.cpp")
  foreach(target_row ${ui_fuzz_targets})
    string(REPLACE "|" ";" parts "${target_row}")
    list(GET parts 0 name)
    list(GET parts 1 main)
    list(GET parts 2 seeds)
    list(GET parts 3 core_sources)
    string(REPLACE "," ";" core_sources "${core_sources}")
    list(TRANSFORM core_sources PREPEND ${ui_fuzz_core}/)
    add_executable(${name} ${CMAKE_CURRENT_LIST_DIR}/ui/${main} ${core_sources})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE qv_zlib qv_stb)
    set(dict "")
    if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/ui/${seeds}.dict)
      set(dict -dict=${CMAKE_CURRENT_LIST_DIR}/ui/${seeds}.dict)
    endif()
    if(name STREQUAL "ui_fuzz_image")
      # The image decoder's PNG reader copies zero bytes from a null pointer for an empty
      # data chunk: harmless, but flagged by this check. Our own code does not rely on it.
      target_compile_options(${name} PRIVATE -fno-sanitize=nonnull-attribute)
    endif()
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${name}_smoke
             COMMAND ${name} -max_total_time=20 ${dict} -rss_limit_mb=2048 -timeout=10 ${corpus}
                     ${CMAKE_CURRENT_LIST_DIR}/ui/seeds/${seeds})
    set_tests_properties(${name}_smoke PROPERTIES TIMEOUT 120)
  endforeach()
endif()
