# Each folder declares its sources with these; the top level turns them into libraries.
#   zelq_pure(files...)        pure logic, no Windows header: in both builds
#   zelq_windows(files...)     window and platform code: Windows build only
#   zelq_native_test(files...) tests of pure logic, run natively
#   zelq_windows_test(files...) tests that need Windows, run under Wine
function(zelq_add property)
  foreach(f ${ARGN})
    get_filename_component(abs ${f} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY ${property} ${abs})
  endforeach()
endfunction()
function(zelq_pure)
  zelq_add(ZELQ_PURE ${ARGN})
endfunction()
function(zelq_windows)
  zelq_add(ZELQ_WINDOWS_SOURCES ${ARGN})
endfunction()
function(zelq_native_test)
  zelq_add(ZELQ_NATIVE_TESTS ${ARGN})
endfunction()
function(zelq_windows_test)
  zelq_add(ZELQ_WINDOWS_TESTS ${ARGN})
endfunction()
