# The checks of the sources themselves, each a target of the build folder:
#   format        rewrites every C++ source with .clang-format
#   format-check  fails on any C++ source that .clang-format would change
#   tidy          runs .clang-tidy over src/ and fails on any finding; a file is checked again
#                 only after it, a header of src/ or .clang-tidy changed

set(HW_CXX_SOURCE_GLOBS
  ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h
  ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/tests/*.h
  ${PROJECT_SOURCE_DIR}/bench/*.cpp ${PROJECT_SOURCE_DIR}/fuzz/*.cpp
  ${PROJECT_SOURCE_DIR}/tools/*.cpp ${PROJECT_SOURCE_DIR}/tools/*.h
  ${PROJECT_SOURCE_DIR}/data/*.cpp)
file(GLOB_RECURSE HW_FORMAT_SOURCES CONFIGURE_DEPENDS ${HW_CXX_SOURCE_GLOBS})


find_program(HW_CLANG_FORMAT NAMES clang-format clang-format-14)
find_program(HW_CLANG_TIDY NAMES clang-tidy clang-tidy-14)
if(NOT HW_CLANG_FORMAT OR NOT HW_CLANG_TIDY)
  set(missing_tool_note "clang-format and clang-tidy are needed: scripts/heronwatch.sh deps")
endif()

if(HW_CLANG_FORMAT)
  add_custom_target(format COMMAND ${HW_CLANG_FORMAT} -i ${HW_FORMAT_SOURCES}
                    COMMENT "Formatting sources" VERBATIM)
  add_custom_target(format-check
    COMMAND ${HW_CLANG_FORMAT} --dry-run --Werror ${HW_FORMAT_SOURCES}
    COMMENT "Checking the format of the sources"
    VERBATIM)
else()
  foreach(name format format-check)
    add_custom_target(${name} COMMAND ${CMAKE_COMMAND} -E echo "${missing_tool_note}"
                      COMMAND ${CMAKE_COMMAND} -E false VERBATIM)
  endforeach()
endif()

if(HW_CLANG_TIDY)
  # Findings in the headers of src/ count too; those of tests/ and of the libraries do not.
  set(header_filter "^${PROJECT_SOURCE_DIR}/src/")
  set(tidy_sources ${HW_FORMAT_SOURCES})
  list(FILTER tidy_sources INCLUDE REGEX "^${PROJECT_SOURCE_DIR}/src/.*\\.cpp$")
  file(GLOB_RECURSE src_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.h)
  set(stamps)
  foreach(source ${tidy_sources})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${source})
    set(stamp ${CMAKE_BINARY_DIR}/tidy/${relative}.checked)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${HW_CLANG_TIDY} -p ${CMAKE_BINARY_DIR} --quiet --warnings-as-errors=*
              --header-filter=${header_filter} ${source}
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${source} ${src_headers} ${PROJECT_SOURCE_DIR}/.clang-tidy
      COMMENT "clang-tidy ${relative}" VERBATIM)
    list(APPEND stamps ${stamp})
  endforeach()
  add_custom_target(tidy DEPENDS ${stamps})
else()
  add_custom_target(tidy COMMAND ${CMAKE_COMMAND} -E echo "${missing_tool_note}"
                    COMMAND ${CMAKE_COMMAND} -E false VERBATIM)
endif()
