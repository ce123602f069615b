# The accelerated drawing backend (SDL renderer).
target_sources(qs_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/RendererDevice.cpp)
