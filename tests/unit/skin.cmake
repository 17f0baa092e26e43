# The skin checker: the built package and the installer's wizard skins against the framework's
# own ZIP reader, markup parser and image decoder.
if(TARGET duilib_core AND TARGET qv_skin_package)
  qv_add_test(skin_check_test MIN_CASES 7 HOST_ONLY
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_check_test.cpp
    LIBS duilib_core)
  if(TARGET skin_check_test)
    add_dependencies(skin_check_test qv_skin_package)
    target_compile_definitions(skin_check_test PRIVATE
      QV_SKIN_ZIP_PATH="${QV_SKIN_ZIP}" QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  endif()
endif()
