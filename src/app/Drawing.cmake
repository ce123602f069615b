# Pictures, sprites, the software rasterizer and the drawing backends.
target_sources(qs_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SoftwareRasterizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PixelLimits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GifDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PngCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JpegDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Image.cpp
)
target_link_libraries(qs_app PUBLIC PNG::PNG JPEG::JPEG ZLIB::ZLIB)
