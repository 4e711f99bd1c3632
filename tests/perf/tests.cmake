# Counts the program's heap allocations: malloc, calloc and realloc calls go through counters.
target_link_options(test_perf PRIVATE -Wl,--wrap=malloc -Wl,--wrap=calloc -Wl,--wrap=realloc)
