# The progress indicator's figures and repaint plan.
dominarch_test(progress_test progress_figures_test.cpp progress_redraw_test.cpp LIBS engine)
