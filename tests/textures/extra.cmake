# The texture tests call GLU for the mipmap checks.
target_link_libraries(test_${name} PRIVATE OpenGL::GLU)
add_dependencies(test_textures pictures)
