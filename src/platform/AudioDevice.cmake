# The SDL sound device backend (the null backend lives with the mixer in the engine).
target_sources(qs_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/AudioDevice.cpp)
