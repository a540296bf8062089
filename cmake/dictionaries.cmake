# The engine checks spelling with dictionaries of its own format (.bdic).
# Debian ships some ready in /usr/share/hunspell-bdic, but not all (not
# English): those of the system's hunspell dictionaries that it lacks are
# converted at build time into qtwebengine_dictionaries beside the program,
# where the engine looks, and installed with it.
find_program(KESTREL_CONVERT_DICT qwebengine_convert_dict PATHS /usr/lib/qt6/libexec ${QT6_INSTALL_PREFIX}/libexec)
set(KESTREL_DICT_DIR ${PROJECT_BINARY_DIR}/src/qtwebengine_dictionaries)
set(KESTREL_BDICS)
if(KESTREL_CONVERT_DICT)
  file(GLOB KESTREL_HUNSPELL_DICS /usr/share/hunspell/*.dic)
  foreach(dic ${KESTREL_HUNSPELL_DICS})
    get_filename_component(name ${dic} NAME_WE)
    get_filename_component(folder ${dic} DIRECTORY)
    if(EXISTS ${folder}/${name}.aff AND NOT EXISTS /usr/share/hunspell-bdic/${name}.bdic)
      add_custom_command(OUTPUT ${KESTREL_DICT_DIR}/${name}.bdic
        COMMAND ${CMAKE_COMMAND} -E make_directory ${KESTREL_DICT_DIR}
        COMMAND ${KESTREL_CONVERT_DICT} ${dic} ${KESTREL_DICT_DIR}/${name}.bdic > /dev/null
        DEPENDS ${dic} ${folder}/${name}.aff VERBATIM)
      list(APPEND KESTREL_BDICS ${KESTREL_DICT_DIR}/${name}.bdic)
    endif()
  endforeach()
else()
  message(STATUS "qwebengine_convert_dict not found: spelling only with dictionaries the engine finds itself")
endif()
add_custom_target(kestrel_dictionaries ALL DEPENDS ${KESTREL_BDICS})
if(KESTREL_BDICS)
  install(FILES ${KESTREL_BDICS} DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrel/qtwebengine_dictionaries)
endif()
