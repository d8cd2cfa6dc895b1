# SPDX-License-Identifier: GPL-3.0-or-later
# The program is built in layers, each a library that may use only the layers below it:
# platform (Qt Core), core (Qt Core and platform), ui (Qt Widgets and core).
#
# A layer's headers are reached as "<name>/Header.h" through a folder of the build tree
# that holds a link to that layer's folder alone. A target sees the folders of the layers
# it links, so an include that points up the layers names a file that is not there and
# fails to compile.
function(vashtem_expose_headers target folder name)
    set(root ${CMAKE_BINARY_DIR}/layers/${name})
    cmake_path(GET name PARENT_PATH parent)
    file(MAKE_DIRECTORY ${root}/${parent})
    file(CREATE_LINK ${folder} ${root}/${name} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${root})
endfunction()

# The warnings every target of the project is built with, tests and benchmark included.
add_library(vashtem_warnings INTERFACE)
if(MSVC)
    target_compile_options(vashtem_warnings INTERFACE /W4)
else()
    # Designated initialisers leave members to their defaults on purpose.
    target_compile_options(vashtem_warnings INTERFACE -Wall -Wextra -Wno-missing-field-initializers)
endif()
