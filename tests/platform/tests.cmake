# Platform parts that need no device: the frame pacer and the lost-surface present of DirectDraw.
target_sources(test_platform PRIVATE ${CMAKE_SOURCE_DIR}/platform/frame_pacer.cpp
  ${CMAKE_SOURCE_DIR}/platform/win32/surface_present.cpp)
