# Hardening of every optimised build (Release, RelWithDebInfo, MinSizeRel): the flags Debian's
# dpkg-buildflags gives with hardening=+all, so that a plain `cmake -DCMAKE_BUILD_TYPE=Release`
# build is as hardened as the package.
#
#   -D_FORTIFY_SOURCE=2            checked variants (*_chk) of the C library's string, memory and
#                                  formatted-output functions; needs optimisation, hence only
#                                  optimised builds
#   -fstack-protector-strong       a canary in every function with a local array or address taken
#   -fstack-clash-protection       probes each page of a large stack allocation
#   -Wformat -Werror=format-security  no format string from data
#   -fcf-protection                indirect-branch tracking and shadow stack (x86 CET), where the
#                                  compiler has it
#   PIE, -z relro -z now           the loader resolves every symbol at start and maps the
#                                  relocated data read-only (BIND_NOW)
#
# Sanitizer and fuzz builds switch it off (ORDVANE_HARDENING=OFF in their presets, and by default
# whenever the flags hold -fsanitize): AddressSanitizer replaces the checked functions with its
# own interceptors, and FORTIFY's object-size checks then report differently from the
# sanitizer's.

include(CheckCXXCompilerFlag)
include(CheckPIESupported)

set(_ordvane_hardening_default ON)
if("${CMAKE_CXX_FLAGS} ${CMAKE_C_FLAGS}" MATCHES "-fsanitize=")
  set(_ordvane_hardening_default OFF)
endif()
option(ORDVANE_HARDENING "Harden optimised builds (FORTIFY, stack protector, RELRO, BIND_NOW, PIE)"
       ${_ordvane_hardening_default})

# The build types that optimise; FORTIFY has no effect (and GCC warns) without -O.
set(ORDVANE_OPTIMISED_CONFIGS Release RelWithDebInfo MinSizeRel)

if(ORDVANE_HARDENING)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  check_pie_supported(OUTPUT_VARIABLE _ordvane_pie_message LANGUAGES C CXX)
  if(NOT CMAKE_CXX_LINK_PIE_SUPPORTED)
    message(WARNING "The linker cannot make position-independent executables: ${_ordvane_pie_message}")
  endif()

  set(_ordvane_hardening_compile
      -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat
      -Werror=format-security)
  check_cxx_compiler_flag(-fstack-clash-protection ORDVANE_HAS_STACK_CLASH_PROTECTION)
  if(ORDVANE_HAS_STACK_CLASH_PROTECTION)
    list(APPEND _ordvane_hardening_compile -fstack-clash-protection)
  endif()
  check_cxx_compiler_flag(-fcf-protection ORDVANE_HAS_CF_PROTECTION)
  if(ORDVANE_HAS_CF_PROTECTION)
    list(APPEND _ordvane_hardening_compile -fcf-protection)
  endif()

  string(JOIN "," _ordvane_optimised_list ${ORDVANE_OPTIMISED_CONFIGS})
  set(_ordvane_optimised "$<CONFIG:${_ordvane_optimised_list}>")
  foreach(_flag IN LISTS _ordvane_hardening_compile)
    add_compile_options("$<${_ordvane_optimised}:${_flag}>")
  endforeach()
  add_link_options("$<${_ordvane_optimised}:LINKER:-z,relro>"
                   "$<${_ordvane_optimised}:LINKER:-z,now>")
endif()
