# The model readers: 3DS and Blender export.
qx_add_fuzz_target(fuzz_models_3ds SOURCES ${CMAKE_CURRENT_LIST_DIR}/models/Model3dsFuzz.cpp LIBS qx_models_io)
qx_add_fuzz_target(fuzz_models_blender SOURCES ${CMAKE_CURRENT_LIST_DIR}/models/BlenderFuzz.cpp LIBS qx_models_io)
