# Machine identity: AES, the adapter choice (platform-free) and the registry GUID, adapter
# list and process-wide context (Win32).
target_sources(qv_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Aes.cpp ${CMAKE_CURRENT_LIST_DIR}/MacAddress.cpp)
target_link_libraries(qv_core PUBLIC qv_openssl)
if(WIN32)
  target_sources(qv_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/MachineIdentity.cpp)
  target_link_libraries(qv_core PUBLIC iphlpapi ole32 advapi32)
endif()
