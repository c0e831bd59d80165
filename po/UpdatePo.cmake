# Run by the target update-po: cmake -DXGETTEXT=... -DMSGMERGE=... -DSOURCE_DIR=... -DPOT=...
#   -DLANGUAGES=<code,code> -DVERSION=... -P UpdatePo.cmake
foreach(_tool XGETTEXT MSGMERGE)
  if(NOT ${_tool} OR ${_tool} MATCHES "NOTFOUND$")
    message(FATAL_ERROR "update-po needs xgettext and msgmerge (the Debian package gettext)")
  endif()
endforeach()

# The sources are listed now, so that files added since the last configure are read too. Paths
# are relative to the source folder, as the references in the .po files should be.
file(GLOB_RECURSE _sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/ui/*.cpp ${SOURCE_DIR}/ui/*.h
  ${SOURCE_DIR}/settings/*.cpp ${SOURCE_DIR}/settings/*.h
  ${SOURCE_DIR}/protocol/*.cpp
  ${SOURCE_DIR}/session/*.cpp
  ${SOURCE_DIR}/demo/*.cpp
  ${SOURCE_DIR}/datalog/*.cpp
  ${SOURCE_DIR}/ctl/*.cpp)
list(SORT _sources)
file(REMOVE ${POT})
execute_process(
  COMMAND ${XGETTEXT} --language=C++ --from-code=UTF-8 --keyword=_ --keyword=N_
    --add-comments=TRANSLATORS: --package-name=Brevon --package-version=${VERSION}
    --output=${POT} ${_sources}
  WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "xgettext failed")
endif()
# xgettext writes no template when it finds no marked text. Merging nothing would turn every
# translation obsolete, so the catalogs are left alone.
if(NOT EXISTS ${POT})
  message(FATAL_ERROR "No marked texts found in the sources; the .po files are unchanged")
endif()

string(REPLACE "," ";" _languages "${LANGUAGES}")
foreach(_code ${_languages})
  execute_process(
    COMMAND ${MSGMERGE} --quiet --update --backup=none ${SOURCE_DIR}/po/${_code}.po ${POT}
    RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "msgmerge failed on po/${_code}.po")
  endif()
endforeach()
