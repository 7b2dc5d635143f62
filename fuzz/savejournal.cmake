qx_add_fuzz_target(fuzz_save_journal SOURCES ${CMAKE_CURRENT_LIST_DIR}/SaveJournalFuzz.cpp LIBS qx_util)
