# How typed text becomes an engine address: Qt Core only, so that the engine, its
# tests and the address fuzzer (a build of its own) all link the same library.
add_library(velt_addressinput STATIC
    ${CMAKE_CURRENT_LIST_DIR}/addressinput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/addressinput.h
)
target_link_libraries(velt_addressinput PUBLIC Qt6::Core)
# Included as "engine/address/addressinput.h", from app/.
target_include_directories(velt_addressinput PUBLIC ${CMAKE_CURRENT_LIST_DIR}/../..)
