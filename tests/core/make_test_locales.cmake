# Generates the locales that the number-format tests switch to, into OUT_DIR,
# for systems that have the locale sources (Debian's locales package) but not
# these locales compiled. Needs no administrator rights: the tests find them
# through LOCPATH. A locale that cannot be made leaves its tests skipped.
find_program(LOCALEDEF localedef)
foreach(locale de_DE en_US)
  if(LOCALEDEF AND NOT EXISTS "${OUT_DIR}/${locale}.UTF-8/LC_NUMERIC")
    execute_process(COMMAND "${LOCALEDEF}" -i ${locale} -f UTF-8 "${OUT_DIR}/${locale}.UTF-8"
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  endif()
endforeach()
file(TOUCH "${STAMP}")
