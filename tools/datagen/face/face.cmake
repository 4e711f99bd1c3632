# The beat's face picture, cut once from the public-domain astronaut portrait that ships with
# python3-skimage, and committed.
add_executable(make-face ${CMAKE_CURRENT_LIST_DIR}/make_face.cpp)
target_link_libraries(make-face PRIVATE tarnwick_datagen PkgConfig::PNG)
set(TARNWICK_FACE_PORTRAIT /usr/lib/python3/dist-packages/skimage/data/astronaut.png CACHE FILEPATH
    "Portrait photograph the face picture is cut from")
add_custom_target(regenerate-face
  COMMAND make-face ${TARNWICK_FACE_PORTRAIT} ${CMAKE_SOURCE_DIR}/scenes/common/face_picture_data.cpp
  DEPENDS make-face)
add_dependencies(regenerate-data regenerate-face)
