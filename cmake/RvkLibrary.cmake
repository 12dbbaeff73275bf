# rvk_library(NAME FOLDER DEPS...) makes one library of every .cpp in FOLDER.
# A folder without sources yet still gives a target, so dependents can link it.
function(rvk_library name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  # Files that form a library of their own (see RVK_OWN_LIBRARY_SOURCES) stay out.
  foreach(own ${RVK_OWN_LIBRARY_SOURCES})
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${own})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# rvk_test(NAME FOLDER DEPS...) makes one GoogleTest program of every .cpp in tests/FOLDER and
# its subfolders.
function(rvk_test name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARGN} rvk_testsupport GTest::gtest GTest::gmock)
  # The test programs find tests/data and examples/ through the source folder compiled into
  # tests/support, so they run the same from ctest and by hand.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()

# rvk_layer_check(NAME FOLDER UPPER...) makes library NAME build only while no source of FOLDER
# includes a header of the UPPER folders (the layers above it). Checked again whenever a source
# changes.
function(rvk_layer_check name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  string(REPLACE ";" "," upper "${ARGN}")
  set(stamp ${CMAKE_BINARY_DIR}/layers/${folder}.checked)
  add_custom_command(OUTPUT ${stamp}
                     COMMAND ${CMAKE_COMMAND} -DFOLDER=${CMAKE_SOURCE_DIR}/${folder} -DFORBIDDEN=${upper} -DSTAMP=${stamp}
                             -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
                     DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
                     COMMENT "Checking that ${folder}/ uses nothing of ${upper}" VERBATIM)
  add_custom_target(${name}_layers DEPENDS ${stamp})
  add_dependencies(${name} ${name}_layers)
endfunction()
