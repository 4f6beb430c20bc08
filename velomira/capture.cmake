# The capture of one lookup: the pure joining and word position core, tested by table without
# windows.
suite_test(velomira_wordpos_test SOURCES tests/wordpos_headless.cpp wordpos.cpp LINK Strandkit)
target_include_directories(velomira_wordpos_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_sources(Velomira PRIVATE vlmcapture.cpp wordpos.cpp)
suite_link(Velomira "Lexidata" "")
