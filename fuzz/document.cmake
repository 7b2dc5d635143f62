# The clipboard's placement lines (Ctrl+V in the map view).
qx_add_fuzz_target(fuzz_paste_lines SOURCES ${CMAKE_CURRENT_LIST_DIR}/document/PasteLinesFuzz.cpp LIBS qx_doc)
