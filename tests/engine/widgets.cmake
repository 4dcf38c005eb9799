# Widget tests of the editor control, offscreen.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/editor_test.cpp)
  orvane_add_gui_test(test_engine_gui ${CMAKE_CURRENT_LIST_DIR}/editor_test.cpp)
endif()
