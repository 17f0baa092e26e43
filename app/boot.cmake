# The boot-time pass and the launcher service, linked into Quorvane.exe.
if(WIN32)
  add_library(qv_boot STATIC ${CMAKE_CURRENT_LIST_DIR}/BootRepair.cpp ${CMAKE_CURRENT_LIST_DIR}/LauncherService.cpp)
  target_link_libraries(qv_boot PUBLIC qv_engine qv_net qv_core advapi32)
endif()
