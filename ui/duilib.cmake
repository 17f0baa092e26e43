# DuiLib above the core and drawing layers: controls, builder, manager, window base, shadow
# and menu (Win32 only). Two libraries with the same objects differ in UIFlavour*.cpp:
# `duilib` for the main program, `duilib_plugin` for the installer plug-in.
if(WIN32)
  add_library(duilib_objects OBJECT
    ${CMAKE_CURRENT_LIST_DIR}/UIBase.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UIBuilder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UIManager.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UIManagerMessages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UIMenu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UIShadow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowImplBase.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UICheckBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIContainer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIControl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIEdit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIGifAnim.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIHorizontalLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UILabel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIListContainerElement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIOption.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIProgress.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UITabLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/UIVerticalLayout.cpp)
  target_link_libraries(duilib_objects PUBLIC duilib_core duilib_render
    gdi32 msimg32 gdiplus comctl32 imm32 shell32 shlwapi ole32 user32)

  add_library(duilib STATIC ${CMAKE_CURRENT_LIST_DIR}/UIFlavourProgram.cpp)
  target_link_libraries(duilib PUBLIC duilib_objects)
  add_library(duilib_plugin STATIC ${CMAKE_CURRENT_LIST_DIR}/UIFlavourPlugin.cpp)
  target_link_libraries(duilib_plugin PUBLIC duilib_objects)
endif()
