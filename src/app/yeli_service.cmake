add_executable(yeli-service ${CMAKE_CURRENT_SOURCE_DIR}/yeli_service_main.cpp)
target_link_libraries(yeli-service PRIVATE yeli_service_start)
