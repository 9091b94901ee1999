# GoogleTest as installed for the target, else built from its sources: a
# Windows cross build finds none installed for MinGW, and Debian's
# googletest package ships the sources in /usr/src/googletest.
find_package(GTest QUIET)
if(NOT TARGET GTest::gtest_main)
    set(ORDEVAN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${ORDEVAN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
