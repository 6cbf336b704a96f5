# The message box tests talk X directly: XTEST drives the dialog, Xft measures its text.
target_link_libraries(test_msgbox PRIVATE X11::X11 X11::Xtst X11::Xft)
