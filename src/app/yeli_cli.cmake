add_executable(yeli-cli ${CMAKE_CURRENT_SOURCE_DIR}/yeli_cli_main.cpp)
target_link_libraries(yeli-cli PRIVATE yeli_cli_back_end yeli_service_bridges)
