# cmake -DDATEN=<build>/engine_ohne_qt_daten.cmake -P pruefe_engine_ohne_qt.cmake
#
# Fails when an engine target links Qt or a target of the application, or
# when a file of the engine (its folders, their tests, tests/support, bench
# except bench/app) includes a Qt header or a header of app/, painting/ or
# report/.
# Lists every offence before failing.
cmake_minimum_required(VERSION 3.25)

if(NOT DATEN OR NOT EXISTS "${DATEN}")
  message(FATAL_ERROR "DATEN fehlt: die Datei, die das Konfigurieren schreibt")
endif()
include("${DATEN}")

set(fehler)

# A Qt target (Qt6::Core, Qt::Gui), a Qt library file (libQt6Core.so) or a
# Qt module name (Qt6Widgets).
set(qt_muster "Qt[0-9]*::|[Ll]ibQt[0-9]|(^|[^A-Za-z0-9_])Qt[56][A-Z]")
foreach(zeile IN LISTS GELINKT)
  if(zeile MATCHES "${qt_muster}")
    list(APPEND fehler "gelinkt (Qt): ${zeile}")
  elseif(zeile MATCHES " \\(nicht sichtbar\\)$")
    list(APPEND fehler "gelinkt, Ziel nur in seinem Ordner sichtbar (GLOBAL fehlt): ${zeile}")
  else()
    string(REGEX REPLACE "^.* -> (\\$<LINK_ONLY:)?([^>]*)>?$" "\\2" name "${zeile}")
    if(name IN_LIST APP_ZIELE)
      list(APPEND fehler "gelinkt (Anwendung): ${zeile}")
    endif()
  endif()
endforeach()

set(ordner)
foreach(o IN LISTS ENGINE_ORDNER)
  list(APPEND ordner "${o}" "tests/${o}")
endforeach()
list(APPEND ordner tests/support bench)

set(include_muster
    "^[ \t]*#[ \t]*include[ \t]*([<\"](Q|qt)|\"(app|painting|report)/|<(app|painting|report)/)")
set(gepruefte 0)
foreach(o IN LISTS ordner)
  if(NOT IS_DIRECTORY "${QUELLE}/${o}")
    continue()
  endif()
  file(GLOB_RECURSE dateien "${QUELLE}/${o}/*.h" "${QUELLE}/${o}/*.hpp" "${QUELLE}/${o}/*.cpp"
       "${QUELLE}/${o}/*.cc" "${QUELLE}/${o}/*.inc")
  # bench/app/ holds the benchmarks of the Qt folders.
  list(FILTER dateien EXCLUDE REGEX "/bench/app/")
  foreach(datei IN LISTS dateien)
    math(EXPR gepruefte "${gepruefte} + 1")
    file(STRINGS "${datei}" zeilen REGEX "^[ \t]*#[ \t]*include")
    foreach(zeile IN LISTS zeilen)
      if(zeile MATCHES "${include_muster}")
        file(RELATIVE_PATH rel "${QUELLE}" "${datei}")
        list(APPEND fehler "eingebunden: ${rel}: ${zeile}")
      endif()
    endforeach()
  endforeach()
endforeach()

list(LENGTH GELINKT links)
if(fehler)
  list(REMOVE_DUPLICATES fehler)
  list(LENGTH fehler anzahl)
  list(JOIN fehler "\n  " text)
  message(FATAL_ERROR "Die Engine haengt an Qt oder an der Anwendung (${anzahl}):\n  ${text}")
endif()
message(STATUS "Engine ohne Qt: ${links} Link-Eintraege, ${gepruefte} Dateien geprueft")
