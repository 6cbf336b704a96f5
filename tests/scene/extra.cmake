target_link_libraries(test_scene PRIVATE particelle_scene OpenGL::GLU)
add_dependencies(test_scene pictures)
