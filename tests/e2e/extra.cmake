# The end-to-end tests run the demo binary and talk X directly for the window manager's part.
target_link_libraries(test_e2e PRIVATE X11::X11)
add_dependencies(test_e2e particelle)
