# The pack archive: format, names and walk, reader, verify; packs are built in memory.
dominarch_test(pack_test
    cp1252_test.cpp
    pack_fixture.cpp
    pack_format_test.cpp
    pack_names_test.cpp
    pack_reader_test.cpp
    pack_verify_test.cpp
    LIBS engine)
