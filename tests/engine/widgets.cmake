# Widget tests of the editor control, offscreen.
orvane_add_gui_test(test_engine_gui ${CMAKE_CURRENT_LIST_DIR}/editor_test.cpp ${CMAKE_CURRENT_LIST_DIR}/caret_test.cpp ${CMAKE_CURRENT_LIST_DIR}/edit_test.cpp ${CMAKE_CURRENT_LIST_DIR}/editorstrings_test.cpp ${CMAKE_CURRENT_LIST_DIR}/messages_test.cpp ${CMAKE_CURRENT_LIST_DIR}/docfixture.cpp)
