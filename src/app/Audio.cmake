# Sound: the audio system, sounds and channels, the mixer, the WAV/Ogg readers and the sound cache.
# Kept in its own library (linked into the engine) so it builds and tests on its own.
add_library(qs_audio STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Audio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mixer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OggDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SilentOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundBuffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundCache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundChannel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WavParser.cpp
)
target_link_libraries(qs_audio PUBLIC qs_persistence qs_support qs_platform PRIVATE PkgConfig::TREMOR)
target_link_libraries(qs_app PUBLIC qs_audio)
