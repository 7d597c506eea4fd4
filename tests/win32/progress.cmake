# The progress indicator's window, painting with the installer's own pictures.
set(progress_rc ${CMAKE_SOURCE_DIR}/res/installer.rc)
set_source_files_properties(${progress_rc} PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/art/progress_mask.bmp;${CMAKE_SOURCE_DIR}/res/art/progress_lit.bmp;${CMAKE_SOURCE_DIR}/res/art/progress_unlit.bmp")
dominarch_test(progress_indicator_test progress_indicator_test.cpp ${progress_rc}
    LIBS engine_win32)
