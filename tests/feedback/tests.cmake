# The frame tests run the scene harness of tarnwick-render.
add_dependencies(test_feedback tarnwick-render)
