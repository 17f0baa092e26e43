# The posix thread model gives std::thread/std::mutex; everything is linked statically so the
# binaries need no mingw runtime DLLs beside them.
set(CMAKE_C_COMPILER ${QV_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QV_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QV_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QV_TRIPLE} ${CMAKE_CURRENT_LIST_DIR}/../.deps/${QV_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
