# The engine stays free of Qt and of the application: the test
# engine_ohne_qt fails when an engine target links, directly or through any
# target it links, a Qt library or a target of the application folders, or
# when a source or header of the engine includes a Qt header or one of the
# application folders' headers.
#
# Here, at the end of configuring, every engine target's link closure is
# written down as written in the build files (generator expressions left
# unevaluated, so a Qt link behind a condition still shows); the test script
# checks it and scans the engine's sources when the test runs.

set_property(GLOBAL PROPERTY t21_gelinkt_besucht "")

# Appends to the list `liste` one "ziel -> eintrag" per link entry of `ziel`
# and of every target reached from there.
function(t21_gelinkt ziel liste)
  get_property(besucht GLOBAL PROPERTY t21_gelinkt_besucht)
  if(ziel IN_LIST besucht)
    return()
  endif()
  set_property(GLOBAL APPEND PROPERTY t21_gelinkt_besucht ${ziel})

  set(eintraege)
  get_target_property(art ${ziel} TYPE)
  get_target_property(importiert ${ziel} IMPORTED)
  if(NOT art STREQUAL "INTERFACE_LIBRARY" AND NOT importiert)
    get_target_property(direkt ${ziel} LINK_LIBRARIES)
    if(direkt)
      list(APPEND eintraege ${direkt})
    endif()
  endif()
  set(eigenschaften INTERFACE_LINK_LIBRARIES)
  if(importiert)
    # The files of an imported library, for every configuration it has.
    list(APPEND eigenschaften IMPORTED_LOCATION IMPORTED_LINK_INTERFACE_LIBRARIES)
    get_target_property(konfigurationen ${ziel} IMPORTED_CONFIGURATIONS)
    foreach(k IN LISTS konfigurationen)
      string(TOUPPER "${k}" k)
      list(APPEND eigenschaften IMPORTED_LOCATION_${k} IMPORTED_LINK_INTERFACE_LIBRARIES_${k})
    endforeach()
  endif()
  foreach(eigenschaft IN LISTS eigenschaften)
    get_target_property(wert ${ziel} ${eigenschaft})
    if(wert)
      list(APPEND eintraege ${wert})
    endif()
  endforeach()

  set(ergebnis ${${liste}})
  # "::@(...)" and "::@" only mark entries added from another folder.
  list(FILTER eintraege EXCLUDE REGEX "^::@")
  list(REMOVE_DUPLICATES eintraege)
  foreach(eintrag IN LISTS eintraege)
    list(APPEND ergebnis "${ziel} -> ${eintrag}")
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" name "${eintrag}")
    if(TARGET "${name}")
      get_target_property(echt "${name}" ALIASED_TARGET)
      if(echt)
        set(name ${echt})
      endif()
      t21_gelinkt(${name} ergebnis)
    elseif(name MATCHES "^[A-Za-z0-9_.+-]+::[A-Za-z0-9_.+-]+$")
      # An imported target visible only in its folder: what it links stays
      # unseen, so the check cannot vouch for it.
      if(NOT "${ziel} -> ${name} (nicht sichtbar)" IN_LIST ergebnis)
        list(APPEND ergebnis "${ziel} -> ${name} (nicht sichtbar)")
      endif()
    endif()
  endforeach()
  set(${liste} ${ergebnis} PARENT_SCOPE)
endfunction()

set(t21_daten "${CMAKE_BINARY_DIR}/engine_ohne_qt_daten.cmake")
set(t21_text "# Written by configuring; read by the test engine_ohne_qt.\n")
string(APPEND t21_text "set(QUELLE [==[${PROJECT_SOURCE_DIR}]==])\n")
string(APPEND t21_text "set(ENGINE_ORDNER ${T21_ENGINE_ORDNER})\n")
string(APPEND t21_text "set(ENGINE_ZIELE ${T21_ENGINE_ZIELE})\n")
string(APPEND t21_text "set(APP_ZIELE t21_optionen_app ${T21_APP_ZIELE})\n")
string(APPEND t21_text "set(GELINKT)\n")
foreach(t21_ziel IN LISTS T21_ENGINE_ZIELE)
  set(t21_liste)
  t21_gelinkt(${t21_ziel} t21_liste)
  foreach(t21_zeile IN LISTS t21_liste)
    string(APPEND t21_text "list(APPEND GELINKT [==[${t21_ziel}: ${t21_zeile}]==])\n")
  endforeach()
  set_property(GLOBAL PROPERTY t21_gelinkt_besucht "")
endforeach()
file(WRITE "${t21_daten}" "${t21_text}")

add_test(NAME engine_ohne_qt
         COMMAND ${CMAKE_COMMAND} -DDATEN=${t21_daten}
                 -P ${PROJECT_SOURCE_DIR}/cmake/pruefe_engine_ohne_qt.cmake)
