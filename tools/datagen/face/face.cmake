# The beat's face picture, cut once from the public-domain astronaut portrait that ships with
# python3-skimage, and committed.
set(TARNWICK_FACE_PORTRAIT /usr/lib/python3/dist-packages/skimage/data/astronaut.png CACHE FILEPATH
    "Portrait photograph the face picture is cut from")
committed_data(face TOOL make-face SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_face.cpp LIBS PkgConfig::PNG
  ARGS ${TARNWICK_FACE_PORTRAIT} OUTPUT ${CMAKE_SOURCE_DIR}/scenes/common/face_picture_data.cpp)
