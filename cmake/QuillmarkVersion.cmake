# QUILLMARK_VERSION: the project's version followed by the number of commits, "0.1.0+128", so
# that every commit makes a newer package and installing it replaces an installed copy. Outside
# a git checkout (a source archive) it is the project's version alone.
set(QUILLMARK_VERSION ${PROJECT_VERSION})
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-list --count HEAD
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE commit_count OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE count_failed ERROR_QUIET)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE git_dir_failed ERROR_QUIET)
  if(NOT count_failed AND commit_count MATCHES "^[0-9]+$")
    set(QUILLMARK_VERSION ${PROJECT_VERSION}.0+${commit_count})
    # A commit appends to HEAD's log: the build configures again and takes the new count.
    if(NOT git_dir_failed AND EXISTS ${git_dir}/logs/HEAD)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_dir}/logs/HEAD)
    endif()
  endif()
endif()
