qx_add_fuzz_target(fuzz_number_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/NumberTextFuzz.cpp LIBS qx_util)
