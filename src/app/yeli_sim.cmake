add_executable(yeli-sim ${CMAKE_CURRENT_SOURCE_DIR}/yeli_sim_main.cpp)
target_link_libraries(yeli-sim PRIVATE yeli_sim)
