add_executable(yeli-service ${CMAKE_CURRENT_SOURCE_DIR}/yeli_service_main.cpp)
target_link_libraries(yeli-service PRIVATE yeli_service_start)
# The virtual controller's default firmware archive, for --simulate.
add_dependencies(yeli-service yeli_sim_restore)
