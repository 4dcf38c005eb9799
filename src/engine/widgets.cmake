# The editor control: widget code of the engine, in orvane_gui.
foreach(file editor.cpp editorpaint.cpp)
  if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/${file})
    target_sources(orvane_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/${file})
  endif()
endforeach()
