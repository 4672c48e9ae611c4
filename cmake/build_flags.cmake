# Our compile flags (warnings, sanitizers) on our own targets only, so that
# they do not reach third-party code built alongside (GoogleTest, TinyXML).
add_library(brindlemarque_flags INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  # A switch that misses a value of its enum fails to compile: a new kind
  # of outcome is not built until every place that says outcomes says it.
  target_compile_options(brindlemarque_flags INTERFACE -Wall -Wextra -Werror=switch)
elseif(MSVC)
  target_compile_options(brindlemarque_flags INTERFACE /W4 /utf-8 /permissive- /we4062)
endif()
if(BRINDLEMARQUE_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "BRINDLEMARQUE_SANITIZE needs GCC or Clang")
  endif()
  target_compile_options(brindlemarque_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(brindlemarque_flags INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# Gives brindlemarque_flags to every compiled target of the folders `ARGN`
# and their subfolders inside the project.
function(brindlemarque_apply_flags)
  foreach(dir IN LISTS ARGN)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
        target_link_libraries(${target} PRIVATE brindlemarque_flags)
      endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
      if(sub MATCHES "^${PROJECT_SOURCE_DIR}/")
        brindlemarque_apply_flags(${sub})
      endif()
    endforeach()
  endforeach()
endfunction()
