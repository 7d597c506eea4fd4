# The extraction pipeline on real temporary folders; packs are built in memory. The link cases
# need POSIX symbolic links.
set(extraction_test_sources
    extraction_harness.cpp
    extraction_test.cpp
    extraction_safety_test.cpp
    extraction_faults_test.cpp
    pack_fixture.cpp
    ${CMAKE_SOURCE_DIR}/tests/platform/test_folder.cpp)
if(NOT WIN32)
    list(APPEND extraction_test_sources extraction_links_posix_test.cpp)
endif()
dominarch_test(extraction_test ${extraction_test_sources} LIBS engine install_flow)
