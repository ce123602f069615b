# Fonts, particles, the blink timer, the colour cycler and the standard controls.
target_sources(qs_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/BlinkTimer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorCycler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Particle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Slider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScrollerGadget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Hyperlink.cpp
)
