# Shared build settings and the two helpers every layer uses.

add_compile_options(-Wall -Wextra -Wno-unused-parameter $<$<COMPILE_LANGUAGE:CXX>:-Wno-missing-field-initializers>)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# Everything links statically so the executables run under Wine without extra DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(dep_sqlite3 STATIC IMPORTED GLOBAL)
set_target_properties(dep_sqlite3 PROPERTIES IMPORTED_LOCATION ${TAVREL_DEPS}/lib/libsqlite3.a
                      INTERFACE_INCLUDE_DIRECTORIES ${TAVREL_DEPS}/include)
add_library(dep_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(dep_jpeg PROPERTIES IMPORTED_LOCATION ${TAVREL_DEPS}/lib/libjpeg.a
                      INTERFACE_INCLUDE_DIRECTORIES ${TAVREL_DEPS}/include)
add_library(dep_zlib STATIC IMPORTED GLOBAL)
set_target_properties(dep_zlib PROPERTIES IMPORTED_LOCATION /usr/x86_64-w64-mingw32/lib/libz.a)
add_library(dep_expat STATIC IMPORTED GLOBAL)
set_target_properties(dep_expat PROPERTIES IMPORTED_LOCATION ${TAVREL_DEPS}/lib/libexpat.a
                      INTERFACE_INCLUDE_DIRECTORIES ${TAVREL_DEPS}/include INTERFACE_COMPILE_DEFINITIONS XML_STATIC)
add_library(dep_minizip STATIC IMPORTED GLOBAL)
set_target_properties(dep_minizip PROPERTIES IMPORTED_LOCATION ${TAVREL_DEPS}/lib/libminizip.a
                      INTERFACE_INCLUDE_DIRECTORIES ${TAVREL_DEPS}/include INTERFACE_LINK_LIBRARIES dep_zlib)

# A resource script names the files it embeds (form texts, grammars, pictures); windres does not tell the build
# about them, so every data file below the script's folder is made a dependency of the script.
function(tavrel_resource_depends)
  foreach(rc ${ARGN})
    get_filename_component(dir ${rc} DIRECTORY)
    file(GLOB_RECURSE data CONFIGURE_DEPENDS ${dir}/*.vfm ${dir}/*.xml ${dir}/*.png ${dir}/*.bmp ${dir}/*.ico
         ${dir}/*.jpg ${dir}/*.txt ${dir}/*.dat)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${data}")
  endforeach()
endfunction()

# tavrel_library(<target> [DEPS <targets>...] [SUBDIRS <folders>...] [LINKED <files>...])
# A static library of every .cpp in the current folder (and its sub-folders listed in SUBDIRS).
# Any .rc file there is compiled into an object library whose objects every consumer links
# directly: resources inside a static archive would never be pulled into an executable.
# The .cpp files named by LINKED go the same way: code that only registers something at start-up
# (nothing refers to it by name) is linked into every program that uses the library.
function(tavrel_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;SUBDIRS;LINKED" ${ARGN})
  set(globs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(rcglobs ${CMAKE_CURRENT_SOURCE_DIR}/*.rc)
  foreach(sub ${ARG_SUBDIRS})
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
    list(APPEND rcglobs ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.rc)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${globs})
  file(GLOB rcfiles CONFIGURE_DEPENDS ${rcglobs})
  set(linked)
  foreach(file ${ARG_LINKED})
    list(APPEND linked ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  endforeach()
  if(linked)
    list(REMOVE_ITEM sources ${linked})
  endif()
  if(NOT sources)
    # A layer whose code has not been written yet still links.
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp)
    file(WRITE ${stub} "")
    set(sources ${stub})
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  if(linked)
    add_library(${target}_linked OBJECT ${linked})
    target_include_directories(${target}_linked PRIVATE ${CMAKE_SOURCE_DIR})
    target_sources(${target} INTERFACE $<TARGET_OBJECTS:${target}_linked>)
  endif()
  if(rcfiles)
    tavrel_resource_depends(${rcfiles})
    add_library(${target}_res OBJECT ${rcfiles})
    target_include_directories(${target}_res PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    target_sources(${target} INTERFACE $<TARGET_OBJECTS:${target}_res>)
    add_dependencies(${target} ${target}_res)
  endif()
endfunction()

# tavrel_test(<name> LIBS <targets>... [OWN_MAIN] [NO_WINDOWS])
# One GoogleTest executable per module, from every .cpp in the current folder. Registered once
# with add_test: discovering single tests would start Wine for each of them.
# Executables that open windows run one at a time (several at once under one Wine server have hung at exit);
# those declared NO_WINDOWS open none and run beside them (scripts/test.sh runs ctest in parallel).
function(tavrel_test name)
  cmake_parse_arguments(ARG "OWN_MAIN;NO_WINDOWS" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB rcfiles CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.rc)
  if(NOT sources)
    return()
  endif()
  tavrel_resource_depends(${rcfiles})
  add_executable(${name} ${sources} ${rcfiles})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gmock gtest)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE gtest_main)
  endif()
  # Through a runner that also fails a program ending before GoogleTest's summary with exit code 0.
  add_test(NAME ${name} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/common/run_gtest.sh $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600
                       ENVIRONMENT "WINEDEBUG=-all;TAVREL_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR};TAVREL_SOURCE_ROOT=${CMAKE_SOURCE_DIR}")
  if(NOT ARG_NO_WINDOWS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()

# tavrel_bench(<name> LIBS <targets>...)
# One benchmark executable per area, from every .cpp in the current folder; scripts/bench.sh runs it.
function(tavrel_bench name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB rcfiles CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.rc)
  if(NOT sources)
    return()
  endif()
  tavrel_resource_depends(${rcfiles})
  add_executable(${name} ${sources} ${rcfiles})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -municode)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
