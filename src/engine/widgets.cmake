# The editor control: widget code of the engine, in orvane_gui.
target_sources(orvane_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/editor.h
  ${CMAKE_CURRENT_LIST_DIR}/editorglyphs.h
  ${CMAKE_CURRENT_LIST_DIR}/editor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editorpaint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editorcaret.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editorinput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editorstrings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editoredit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editormessages.cpp)
