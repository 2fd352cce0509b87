# What every module's CMakeLists uses: one way to declare a library, a
# GoogleTest program and a Qt Test program, so that each block says only
# what differs.

# zolvant_library(name [NO_MOC] SOURCES files... [PUBLIC libs...] [PRIVATE libs...])
# A static library. NO_MOC for code without QObject (and the solver, which
# must never see Qt).
function(zolvant_library name)
  cmake_parse_arguments(arg "NO_MOC" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  add_library(${name} STATIC ${arg_SOURCES})
  target_link_libraries(${name} PUBLIC ${arg_PUBLIC} PRIVATE ${arg_PRIVATE})
  if(arg_NO_MOC)
    set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
  endif()
endfunction()

# zolvant_tests(folder): adds the module's test folder when tests are built.
macro(zolvant_tests folder)
  if(BUILD_TESTING AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/CMakeLists.txt)
    add_subdirectory(${folder})
  endif()
endmacro()

# zolvant_gtest(name SOURCES files... [LIBS libs...])
# A GoogleTest program; every test in it is registered with CTest. Its own
# settings folder keeps even a stray QSettings away from the developer's.
function(zolvant_gtest name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/xdg-config")
endfunction()

# zolvant_qt_test(name SOURCES files... [LIBS libs...])
# A Qt Test program, one CTest test, on the offscreen platform: no display
# needed. The recording services and the database fixtures come with it.
function(zolvant_qt_test name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} zolvant_testsupport_ui Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()
