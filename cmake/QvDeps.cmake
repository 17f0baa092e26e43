# Third-party libraries. Windows builds take OpenSSL and libcurl from the cross-built cache
# that scripts/deps fills; the host uses Debian's packages.
if(WIN32)
  set(QV_DEPS_PREFIX ${CMAKE_SOURCE_DIR}/.deps/${QV_TRIPLE})
  if(NOT EXISTS ${QV_DEPS_PREFIX}/lib/libcurl.a)
    message(FATAL_ERROR "Cross-built libcurl missing in ${QV_DEPS_PREFIX}: run scripts/setup")
  endif()
  add_library(qv_openssl INTERFACE)
  target_include_directories(qv_openssl SYSTEM INTERFACE ${QV_DEPS_PREFIX}/include)
  target_link_libraries(qv_openssl INTERFACE ${QV_DEPS_PREFIX}/lib/libssl.a ${QV_DEPS_PREFIX}/lib/libcrypto.a
    crypt32 ws2_32 bcrypt advapi32 user32)
  add_library(qv_curl INTERFACE)
  target_compile_definitions(qv_curl INTERFACE CURL_STATICLIB)
  # Spelled out in link order: libcurl needs OpenSSL, which needs the Windows libraries.
  target_include_directories(qv_curl SYSTEM INTERFACE ${QV_DEPS_PREFIX}/include)
  target_link_libraries(qv_curl INTERFACE ${QV_DEPS_PREFIX}/lib/libcurl.a ${QV_DEPS_PREFIX}/lib/libssl.a
    ${QV_DEPS_PREFIX}/lib/libcrypto.a z crypt32 ws2_32 bcrypt advapi32 user32 pthread)
  add_library(qv_zlib INTERFACE)
  target_link_libraries(qv_zlib INTERFACE z)
else()
  find_package(OpenSSL REQUIRED)
  find_package(CURL REQUIRED)
  find_package(ZLIB REQUIRED)
  add_library(qv_openssl INTERFACE)
  target_link_libraries(qv_openssl INTERFACE OpenSSL::SSL OpenSSL::Crypto)
  add_library(qv_curl INTERFACE)
  target_link_libraries(qv_curl INTERFACE CURL::libcurl)
  add_library(qv_zlib INTERFACE)
  target_link_libraries(qv_zlib INTERFACE ZLIB::ZLIB)
endif()

# Header-only: RapidJSON and stb_image come from Debian's -dev packages for every build.
add_library(qv_rapidjson INTERFACE)
target_include_directories(qv_rapidjson SYSTEM INTERFACE /usr/include)
add_library(qv_stb INTERFACE)
target_include_directories(qv_stb SYSTEM INTERFACE /usr/include/stb)
if(WIN32)
  # The cross compiler must not see the host's /usr/include as a whole: copy-free access
  # through a private folder holding only the two header trees.
  set(QV_HDR ${CMAKE_BINARY_DIR}/third_party_include)
  file(MAKE_DIRECTORY ${QV_HDR})
  if(NOT EXISTS ${QV_HDR}/rapidjson)
    file(CREATE_LINK /usr/include/rapidjson ${QV_HDR}/rapidjson SYMBOLIC)
  endif()
  if(NOT EXISTS ${QV_HDR}/stb)
    file(CREATE_LINK /usr/include/stb ${QV_HDR}/stb SYMBOLIC)
  endif()
  set_target_properties(qv_rapidjson PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${QV_HDR})
  set_target_properties(qv_stb PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${QV_HDR}/stb)
endif()

# GoogleTest from Debian's sources, built per target.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
