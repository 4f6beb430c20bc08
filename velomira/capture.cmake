# The capture of one lookup: the pure joining and word position core, tested by table without
# windows.
suite_test(velomira_wordpos_test SOURCES tests/wordpos_headless.cpp wordpos.cpp LINK Strandkit)
target_include_directories(velomira_wordpos_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_sources(Velomira PRIVATE vlmcapture.cpp wordpos.cpp)
suite_link(Velomira "Lexidata" "")

# The capture from end to end: the program as a process over the test's own windows, with the
# capture server and a search-station stand-in (the kind spy) beside it.
suite_test(velomira_capture_test SOURCES tests/capture_test.cpp LINK Basekit Prefstore SYSLIBS user32 gdi32 advapi32)
add_dependencies(velomira_capture_test Velomira velomira_kindspy GlimpserXP)
