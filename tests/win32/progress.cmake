# The progress indicator's window, painting with the installer's own pictures.
set(progress_rc ${CMAKE_SOURCE_DIR}/res/installer.rc)
dominarch_test(progress_indicator_test progress_indicator_test.cpp ${progress_rc}
    LIBS engine_win32)
