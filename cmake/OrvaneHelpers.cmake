# Helpers that keep every module's and test's CMake alike.

# orvane_add_module(<name> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...] [QT])
# Creates the static library orvane_<name>; headers are included as "<name>/file.h".
# QT turns on AUTOMOC for modules with QObject classes.
function(orvane_add_module name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(orvane_${name} STATIC ${ARG_SOURCES})
  target_include_directories(orvane_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(orvane_${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  target_compile_options(orvane_${name} PRIVATE -Wall -Wextra)
  if(ARG_QT)
    set_target_properties(orvane_${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# orvane_add_test(<name> SOURCES ... LIBS ... [LABELS ...] [QT])
# One GoogleTest program registered as one CTest test; time zone and locale are pinned.
function(orvane_add_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set(_env "TZ=Asia/Shanghai" "LANG=C.UTF-8" "LC_ALL=C.UTF-8" "QT_QPA_PLATFORM=offscreen"
           ${ARG_ENV})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${_env}" TIMEOUT 600)
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
