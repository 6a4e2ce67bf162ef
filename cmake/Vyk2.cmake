# Small helpers so that each subsystem folder declares itself in a few lines
# and never needs to edit a shared build file.

# Adds every direct or nested folder under DIR that holds a CMakeLists.txt.
function(vyk2_add_subdirs dir)
  file(GLOB_RECURSE lists CONFIGURE_DEPENDS
       "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*/CMakeLists.txt")
  list(SORT lists)
  foreach(l IN LISTS lists)
    get_filename_component(d "${l}" DIRECTORY)
    add_subdirectory("${d}")
  endforeach()
endfunction()

# vyk2_module(NAME [QT] [DEPS lib...])
# A static library vyk2_NAME from the .cpp files of the current folder.
# Without QT it must stay free of Qt (it is built in the sanitizer build too).
function(vyk2_module name)
  cmake_parse_arguments(M "QT" "" "DEPS" ${ARGN})
  if(M_QT AND NOT VYK2_WITH_QT)
    return()
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp"
                                   "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  add_library(vyk2_${name} STATIC ${srcs})
  target_include_directories(vyk2_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(vyk2_${name} PUBLIC ${M_DEPS})
  if(M_QT)
    target_link_libraries(vyk2_${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets
                          Qt6::SerialPort Qt6::Network Qt6::PrintSupport Qt6::Xml)
  else()
    set_property(GLOBAL APPEND PROPERTY VYK2_CORE_LIBS vyk2_${name})
  endif()
endfunction()

# vyk2_test(NAME [QT] LIBS lib...)
# A GoogleTest program test_NAME from the .cpp files of the current folder.
function(vyk2_test name)
  cmake_parse_arguments(T "QT" "" "LIBS" ${ARGN})
  if(T_QT AND NOT VYK2_WITH_QT)
    return()
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp"
                                   "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  add_executable(test_${name} ${srcs})
  target_link_libraries(test_${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  if(T_QT)
    target_link_libraries(test_${name} PRIVATE Qt6::Test)
  endif()
  target_compile_definitions(test_${name} PRIVATE
    VYK2_SOURCE_DIR="${PROJECT_SOURCE_DIR}" VYK2_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# vyk2_fuzz(NAME LIBS lib...)  libFuzzer harness fuzz_NAME from fuzz_NAME.cpp.
function(vyk2_fuzz name)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  add_executable(fuzz_${name} "${CMAKE_CURRENT_SOURCE_DIR}/fuzz_${name}.cpp")
  target_link_libraries(fuzz_${name} PRIVATE ${F_LIBS})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY VYK2_FUZZERS fuzz_${name})
endfunction()
