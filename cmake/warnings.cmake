# The warnings every program of the kit is built with, errors on every toolchain: the targets
# of this build, the fuzz sub-build and the tool built for the build machine take them from here.
set(KIT_WARNING_FLAGS -Wall -Wextra -Wpedantic -Wconversion -Wshadow -Werror)
