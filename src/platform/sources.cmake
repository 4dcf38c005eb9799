# The platform layer: thin stand-ins for the services of the windowing system.
target_sources(orvane_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/messages.h
  ${CMAKE_CURRENT_LIST_DIR}/fonts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clipboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/errordisplay.cpp)
