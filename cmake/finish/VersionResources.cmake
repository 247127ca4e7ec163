# Embeds the version blocks written from res/version/ in the targets that carry them: each
# takes the object that holds its block in the section .ordvane.version, which
# platform/VersionInfo reads from the file.

# Adds the block's object to the target's own objects. target_sources rather than
# target_link_libraries, so that a target whose links use the plain signature still takes it.
function(ordvane_embed_version_block target block)
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:ordvane_version_block_${block}>)
  add_dependencies(${target} ordvane_version_block_${block})
endfunction()

foreach(_ordvane_target IN ITEMS ordvane zeva ordvane-cli quillmor-sim ordvane-verinfo)
  if(TARGET ${_ordvane_target} AND TARGET ordvane_version_block_${_ordvane_target})
    ordvane_embed_version_block(${_ordvane_target} ${_ordvane_target})
  endif()
endforeach()

# The version tests read "the program's own file": their executable carries ordvane's block,
# as the real program does.
if(TARGET version_tests AND TARGET ordvane_version_block_ordvane)
  ordvane_embed_version_block(version_tests ordvane)
endif()

# The second libzeva.so for the refusal test: the file the link produced, with the same objects
# and SONAME, whose block says ORDVANE_ZEVA_TEST_VERSION. A test runs a program with
# LD_LIBRARY_PATH pointing at lib/wrong-version so that the loader picks this copy.
if(TARGET zeva AND TARGET ordvane_version_block_zeva-wrong-version)
  get_target_property(_ordvane_zeva_soversion zeva SOVERSION)
  set(_ordvane_zeva_name libzeva.so)
  if(_ordvane_zeva_soversion)
    set(_ordvane_zeva_name libzeva.so.${_ordvane_zeva_soversion})
  endif()
  set(_ordvane_wrong_zeva ${CMAKE_LIBRARY_OUTPUT_DIRECTORY}/wrong-version/${_ordvane_zeva_name})
  set(_ordvane_wrong_block ${PROJECT_BINARY_DIR}/res/version/zeva-wrong-version.bin)
  add_custom_command(OUTPUT ${_ordvane_wrong_zeva}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_LIBRARY_OUTPUT_DIRECTORY}/wrong-version
    COMMAND ${CMAKE_OBJCOPY} --update-section .ordvane.version=${_ordvane_wrong_block}
            $<TARGET_FILE:zeva> ${_ordvane_wrong_zeva}
    DEPENDS zeva ordvane_version_block_zeva-wrong-version ${_ordvane_wrong_block}
    COMMENT "Writing lib/wrong-version/${_ordvane_zeva_name} (FileVersion ${ORDVANE_ZEVA_TEST_VERSION})"
    VERBATIM)
  add_custom_target(ordvane_zeva_wrong_version ALL DEPENDS ${_ordvane_wrong_zeva})
endif()

if(TARGET version_zeva_refused_tests AND TARGET ordvane_zeva_wrong_version)
  add_dependencies(version_zeva_refused_tests ordvane_zeva_wrong_version)
endif()
