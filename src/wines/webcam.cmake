target_sources(vinarca_wines PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FrameHandOver.h ${CMAKE_CURRENT_LIST_DIR}/FrameHandOver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebCam.h ${CMAKE_CURRENT_LIST_DIR}/WebCam.cpp)
