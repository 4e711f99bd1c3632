# The frame tests run the scene harness of tarnwick-render.
add_dependencies(test_swirl tarnwick-render)
