# Read by cpack before it writes the kit's zip (CPACK_PROJECT_CONFIG_FILE): file names in UTF-8.
set(ENV{LC_ALL} C.UTF-8)
