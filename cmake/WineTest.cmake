# add_wine_test(<name> <target> [DISPLAY] [TIMEOUT <s>] [ARGS <args...>] [ENVIRONMENT <k=v...>]
#               [FIXTURES_REQUIRED <f...>] [RUN_SERIAL])
# One CTest test per test executable, run through the Wine emulator. DISPLAY marks tests that need
# an X display: the harness (scripts/run_tests.sh) then starts Xvfb for the run.
function(add_wine_test name target)
  cmake_parse_arguments(T "DISPLAY;RUN_SERIAL" "TIMEOUT" "ARGS;ENVIRONMENT;FIXTURES_REQUIRED;LABELS" ${ARGN})
  add_test(NAME ${name} COMMAND ${target} ${T_ARGS})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set(labels ${T_LABELS})
  if(T_DISPLAY)
    list(APPEND labels display)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_DISPLAY)
    # Display tests share one X server, its pointer and its focus: a pointer another test moved
    # makes a control hot. They take turns.
    set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK x_display)
  endif()
  if(labels)
    set_tests_properties(${name} PROPERTIES LABELS "${labels}")
  endif()
  if(T_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
  if(T_FIXTURES_REQUIRED)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${T_FIXTURES_REQUIRED}")
  endif()
  if(T_RUN_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

# add_gtest_executable(<target> <sources...> [LIBS <libs...>]): a GoogleTest program for Windows.
function(add_gtest_executable target)
  cmake_parse_arguments(G "" "" "LIBS" ${ARGN})
  add_executable(${target} ${G_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE ${G_LIBS} deps::gmock deps::gtest_main)
  # gtest prints with the console; a console program keeps its output in CTest's log.
  target_link_options(${target} PRIVATE -mconsole)
endfunction()

# add_wine_bench(<name> <target> [same options as add_wine_test]): a benchmark run by `make bench`
# only; it prints figures and is never part of `make test`.
function(add_wine_bench name target)
  add_wine_test(${name} ${target} ${ARGN} LABELS bench)
  add_dependencies(bench_programs ${target})
endfunction()
