# The memory gzip stream. Its fixtures are found through MEMGZ_FIXTURES; under wine, Z: maps /.
dominarch_test(memgz_test memgz_test.cpp LIBS engine)
set(memgz_fixtures ${CMAKE_CURRENT_LIST_DIR}/fixtures/gzip)
if(WIN32)
    set(memgz_fixtures Z:${memgz_fixtures})
endif()
target_compile_definitions(memgz_test PRIVATE MEMGZ_FIXTURES="${memgz_fixtures}")
