# The input tests drive the server through XTEST, the cursor test reads the server's cursor
# back through XFIXES, and a few tests talk to X directly.
find_package(X11 REQUIRED)
target_link_libraries(test_platform PRIVATE X11::X11 X11::Xtst X11::Xfixes)
