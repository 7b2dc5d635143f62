qx_add_fuzz_target(fuzz_tree_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/TreeTextFuzz.cpp LIBS qx_doc_tree)
qx_add_fuzz_target(fuzz_icon_indexes SOURCES ${CMAKE_CURRENT_LIST_DIR}/IconIndexFuzz.cpp LIBS qx_doc_tree)
