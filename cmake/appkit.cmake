# The AppKit backend (ZEB_TOOLKIT=appkit): the Objective-C++ sources of
# platform/appkit/, with manual retain and release. On Apple platforms they build
# against AppKit; elsewhere against GNUstep's AppKit, compiled by clang for GCC's
# Objective-C runtime, which GNUstep uses here.

if(NOT APPLE)
  find_program(ZEB_GNUSTEP_CONFIG gnustep-config REQUIRED)
  find_program(ZEB_CLANGXX NAMES clang++ clang++-14 REQUIRED)
  set(CMAKE_OBJCXX_COMPILER ${ZEB_CLANGXX})
endif()
enable_language(OBJCXX)
set(CMAKE_OBJCXX_VISIBILITY_PRESET hidden)

file(GLOB ZEB_APPKIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/appkit/*.mm)

# zeb_use_appkit(target): builds the target's .mm files for the backend and links
# what they need; what uses the target gets the same.
function(zeb_use_appkit target)
  target_compile_definitions(${target} PUBLIC ZEB_HAVE_APPKIT=1)
  if(APPLE)
    target_compile_options(${target} PUBLIC $<$<COMPILE_LANGUAGE:OBJCXX>:-fno-objc-arc>)
    target_link_libraries(${target} PUBLIC "-framework AppKit" "-framework CoreGraphics")
    return()
  endif()
  execute_process(COMMAND ${ZEB_GNUSTEP_CONFIG} --objc-flags OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${ZEB_GNUSTEP_CONFIG} --gui-libs OUTPUT_VARIABLE libs OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  separate_arguments(libs UNIX_COMMAND "${libs}")
  # The build chooses its own dependency files, debug information and optimisation.
  list(REMOVE_ITEM flags -MMD -MP -g -O2)
  # GNUstep's headers are the system's: their warnings are not this project's.
  list(TRANSFORM flags REPLACE "^-I" "-isystem")
  # GCC keeps the Objective-C runtime's headers (objc/) among its own.
  execute_process(COMMAND gcc -print-file-name=include OUTPUT_VARIABLE gccInclude OUTPUT_STRIP_TRAILING_WHITESPACE)
  target_compile_options(${target} PUBLIC
    "$<$<COMPILE_LANGUAGE:OBJCXX>:-fobjc-runtime=gcc;${flags};-idirafter;${gccInclude}>")
  # The window server is an X display, probed with Xlib; the tests type on it with XTest.
  pkg_check_modules(ZEB_X11 REQUIRED IMPORTED_TARGET x11 xtst)
  target_link_libraries(${target} PUBLIC ${libs} PkgConfig::ZEB_X11)
endfunction()
