# Pictures, sprites, the software rasterizer and the drawing backends.
target_sources(qs_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SoftwareRasterizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PixelLimits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GifDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PngCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JpegDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BitmapWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Transform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextureMosaic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sprite.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphicsDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoftwareGraphics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DisplaySettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RendererGraphics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphicsFactory.cpp
)
target_link_libraries(qs_app PUBLIC PNG::PNG JPEG::JPEG ZLIB::ZLIB)
