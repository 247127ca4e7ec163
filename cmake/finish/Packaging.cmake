# Install rules (`cmake --install`) and the Debian package (`cpack`, DEB generator).
#
# Every rule is guarded on its target, so the project installs whatever this configuration
# builds (the asan preset has no window, for example).
#
# Where libzeva.so goes: the standard library directory (CMAKE_INSTALL_LIBDIR; Debian's multiarch
# directory, /usr/lib/x86_64-linux-gnu on amd64, in the package), and the programs carry the run path $ORIGIN/../<libdir> as well. The run path lets
# an install without privileges (a home prefix, a DESTDIR stage) find the library beside the
# programs. The recovery server's port 67 comes from ordvane-port67-helper, the only program
# given CAP_NET_BIND_SERVICE: it links nothing of ours and reads no environment, while the
# window reads Qt's environment (plugin paths, styles) and so must never hold a capability.
# packaging/README.md says more.

include(GNUInstallDirs)

set(ORDVANE_PACKAGE_PREFIX /usr)
set(_ordvane_commands ordvane ordvane-cli quillmor-sim ordvane-verinfo)
# The helper that opens port 67 for the recovery server, and where it goes: the programs look
# for it at <their directory>/../libexec/ordvane.
set(_ordvane_port_67_helper ordvane-port67-helper)
set(_ordvane_port_67_helper_dir ${CMAKE_INSTALL_LIBEXECDIR}/ordvane)
set(_ordvane_man_output ${PROJECT_BINARY_DIR}/packaging/man)

# The executable target that builds COMMAND: named like it, or with underscores for hyphens.
function(_ordvane_command_target command result)
  string(REPLACE "-" "_" underscored "${command}")
  set(${result} "" PARENT_SCOPE)
  foreach(candidate IN ITEMS ${command} ${underscored})
    if(TARGET ${candidate})
      get_target_property(type ${candidate} TYPE)
      get_target_property(output_name ${candidate} OUTPUT_NAME)
      if(NOT output_name)
        set(output_name ${candidate})
      endif()
      if(type STREQUAL "EXECUTABLE" AND output_name STREQUAL command)
        set(${result} ${candidate} PARENT_SCOPE)
        return()
      endif()
    endif()
  endforeach()
endfunction()

# docs/man/COMMAND.1, compressed at build time as Debian wants it (-n: no name or time stamp,
# so the package is reproducible).
function(_ordvane_install_man_page command)
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${command}.1)
  if(NOT EXISTS ${source})
    message(WARNING "No man page docs/man/${command}.1 for ${command}")
    return()
  endif()
  set(copy ${_ordvane_man_output}/${command}.1)
  add_custom_command(OUTPUT ${copy}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
                     COMMAND gzip -9nf ${copy}
                     DEPENDS ${source}
                     COMMENT "Compressing the man page of ${command}"
                     VERBATIM)
  add_custom_target(ordvane_man_${command} ALL DEPENDS ${copy}.gz)
  install(FILES ${copy}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

set(_ordvane_installed_commands "")
foreach(command IN LISTS _ordvane_commands)
  _ordvane_command_target(${command} target)
  if(target)
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    _ordvane_install_man_page(${command})
    list(APPEND _ordvane_installed_commands ${command})
  endif()
endforeach()

if(TARGET zeva)
  # libzeva.so.1 and its file; the bare libzeva.so link is for linking only and stays out.
  install(TARGETS zeva LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
endif()

if(TARGET ${_ordvane_port_67_helper})
  # 0750: it holds a capability, and only root and the group ordvane may run it.
  install(TARGETS ${_ordvane_port_67_helper} RUNTIME DESTINATION ${_ordvane_port_67_helper_dir}
          PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE)
endif()

# A stripped install (`cmake --install --strip`, and so the package) also drops the .comment and
# .note sections, as Debian's own strip step does: .comment only names the compilers that built
# each object. The .note.gnu.* sections (build id, CET property) stay. This runs after the
# install rules above, which strip first.
set(_ordvane_installed_elf_files "")
foreach(command IN LISTS _ordvane_installed_commands)
  list(APPEND _ordvane_installed_elf_files "${CMAKE_INSTALL_BINDIR}/${command}")
endforeach()
if(TARGET zeva)
  list(APPEND _ordvane_installed_elf_files "${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:zeva>")
endif()
if(TARGET ${_ordvane_port_67_helper})
  list(APPEND _ordvane_installed_elf_files
       "${_ordvane_port_67_helper_dir}/${_ordvane_port_67_helper}")
endif()
string(CONFIGURE [[
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(file IN ITEMS @_ordvane_installed_elf_files@)
      set(path "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${file}")
      execute_process(COMMAND "@CMAKE_OBJCOPY@" --remove-section=.comment --remove-section=.note
                              "${path}" RESULT_VARIABLE status)
      if(NOT status EQUAL 0)
        message(FATAL_ERROR "objcopy could not drop .comment from ${path}")
      endif()
    endforeach()
  endif()
]] _ordvane_drop_comment_code @ONLY)
install(CODE "${_ordvane_drop_comment_code}")

# Shell completion, where each shell looks for it: bash-completion loads
# completions/<command> on first use; Debian's zsh reads vendor-completions and fish
# vendor_completions.d.
foreach(command IN LISTS _ordvane_installed_commands)
  foreach(completion IN ITEMS bash/${command} zsh/_${command} fish/${command}.fish)
    set(source ${PROJECT_SOURCE_DIR}/completions/${completion})
    if(EXISTS ${source})
      string(REGEX REPLACE "/.*" "" shell "${completion}")
      set(destination_bash ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
      set(destination_zsh ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
      set(destination_fish ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)
      install(FILES ${source} DESTINATION ${destination_${shell}})
    endif()
  endforeach()
endforeach()

# The window's desktop entry and icon. The icon is drawn in res/icons/: each PNG goes to the
# hicolor size its header gives, an SVG to scalable.
function(_ordvane_install_icons)
  set(icon_root ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  file(GLOB pngs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/icons/*.png)
  list(SORT pngs)
  set(sizes "")
  foreach(png IN LISTS pngs)
    file(READ ${png} header LIMIT 24 HEX)
    string(LENGTH "${header}" length)
    if(length LESS 48 OR NOT header MATCHES "^89504e470d0a1a0a")
      message(WARNING "${png} is no PNG image; not installed")
      continue()
    endif()
    string(SUBSTRING "${header}" 32 8 width_hex)
    string(SUBSTRING "${header}" 40 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT width EQUAL height OR "${width}" IN_LIST sizes)
      message(WARNING "${png} (${width}x${height}) is not square or repeats a size; not installed")
      continue()
    endif()
    list(APPEND sizes ${width})
    install(FILES ${png} DESTINATION ${icon_root}/${width}x${height}/apps RENAME ordvane.png)
  endforeach()

  file(GLOB svgs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/icons/*.svg)
  list(SORT svgs)
  set(preferred ${PROJECT_SOURCE_DIR}/res/icons/ordvane.svg)
  if(preferred IN_LIST svgs)
    set(svgs ${preferred})
  endif()
  if(svgs)
    list(GET svgs 0 svg)
    install(FILES ${svg} DESTINATION ${icon_root}/scalable/apps RENAME ordvane.svg)
  endif()
endfunction()

if("ordvane" IN_LIST _ordvane_installed_commands)
  # Named after the AppStream id, as software centres and desktop portals look it up.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.ordvane.Ordvane.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  _ordvane_install_icons()
endif()

# The README, and what scripts rely on: the command line's contract (cli.md) with the JSON
# Schemas of its documents, and the emulator's fleet files, all named in the man pages.
file(GLOB _ordvane_json_schemas CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.schema.json)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/cli.md
              ${PROJECT_SOURCE_DIR}/docs/fleet-file.md ${_ordvane_json_schemas}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ordvane)

# What Debian wants of every package: the copyright file as it is, the changelog compressed
# (-n: no name or time stamp, so the package is reproducible), and the AppStream metadata that
# lets software centres list the window.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ordvane)
# The two warnings of Debian's checker that the package answers rather than fixes, with why.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ordvane)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in
               ${PROJECT_BINARY_DIR}/packaging/debian/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/debian/changelog.gz
                   COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/packaging/debian/changelog
                   DEPENDS ${PROJECT_BINARY_DIR}/packaging/debian/changelog
                   COMMENT "Compressing the package changelog"
                   VERBATIM)
add_custom_target(ordvane_package_changelog ALL
                  DEPENDS ${PROJECT_BINARY_DIR}/packaging/debian/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/packaging/debian/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ordvane)
if("ordvane" IN_LIST _ordvane_installed_commands)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.ordvane.Ordvane.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# After a plain `cmake --install` nobody grants port 67: say how. The package's postinst does it.
if(TARGET ${_ordvane_port_67_helper})
  set(_ordvane_port_67_paths
      "\${CMAKE_INSTALL_PREFIX}/${_ordvane_port_67_helper_dir}/${_ordvane_port_67_helper}")
  install(CODE "
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\" AND NOT CMAKE_INSTALL_PREFIX MATCHES \"_CPack_Packages\")
      message(STATUS \"The recovery DHCP server needs UDP port 67. Grant it to the group ordvane, as root:\")
      message(STATUS \"  ldconfig\")
      message(STATUS \"  addgroup --system ordvane\")
      message(STATUS \"  chown root:ordvane ${_ordvane_port_67_paths}\")
      message(STATUS \"  setcap cap_net_bind_service=+ep ${_ordvane_port_67_paths}\")
      message(STATUS \"and add each user who recovers modules: adduser USER ordvane\")
    endif()")
endif()

# The Debian package.
set(ORDVANE_CAPABLE_PROGRAMS "")
if(TARGET ${_ordvane_port_67_helper})
  set(ORDVANE_CAPABLE_PROGRAMS
      "${ORDVANE_PACKAGE_PREFIX}/${_ordvane_port_67_helper_dir}/${_ordvane_port_67_helper}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/postinst.in
               ${PROJECT_BINARY_DIR}/packaging/debian/postinst @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ordvane)
set(CPACK_PACKAGE_VENDOR Ordvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find, configure and recover Quillmor gateway modules")
# The long description without the synopsis: CPack puts the summary in front of it. Debian
# wants lines of at most 80 characters.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ordvane finds the networked gateway modules of the Quillmor family on the
local Ethernet segment, lists them in a sortable table, changes one module's
network settings, and brings back modules switched to DHCP by mistake with a
small recovery DHCP server.
.
The package holds the desktop program ordvane, its command-line companion
ordvane-cli, the module-service library libzeva.so, the module emulator
quillmor-sim and the version reader ordvane-verinfo.")
set(CPACK_PACKAGE_CONTACT "Ordvane developers <debian@ordvane.org>")
# Debian ships programs and libraries without symbols.
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${ORDVANE_PACKAGE_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# setcap and addgroup for the postinst; the libraries the programs need come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin, adduser")
find_program(ORDVANE_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ORDVANE_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
      ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
endif()
# The loader's cache is refreshed by the ldconfig trigger, not by the maintainer scripts; our
# own postrm keeps CPack from writing one that calls ldconfig.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_BINARY_DIR}/packaging/debian/postinst
    ${PROJECT_SOURCE_DIR}/packaging/debian/postrm
    ${PROJECT_SOURCE_DIR}/packaging/debian/triggers)
# A shlibs file, so that a package built against libzeva.so.1 depends on this one.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/build-[^/]*/")
include(CPack)
