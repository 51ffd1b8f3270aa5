# Installation layout and the Debian package (scripts/package.sh runs cpack in build/).
#
#   /usr/bin                          the report, the configuration program, the sample store
#   /usr/share/vantrex-report         upper.alt for the program folder, the purchasing sample
#   /usr/share/applications, icons    the menu entries and their icon
#   /usr/share/man/man1               the manual pages, gzipped
#   /usr/share/doc/vantrex-report     copyright, changelog.gz

set(VANTREX_PACKAGE_NAME vantrex-report)
set(VANTREX_PACKAGE_MAINTAINER "Vantrex Report team <packaging@vantrex.example>"
  CACHE STRING "Maintainer field of the Debian package")
set(vantrex_packaging ${CMAKE_SOURCE_DIR}/packaging)
set(vantrex_generated ${CMAKE_BINARY_DIR}/packaging)
set(vantrex_share share/${VANTREX_PACKAGE_NAME})

# Files land with mode 0644, programs 0755, folders 0755, whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS vantrex-report JOVDataConfiguration vantrex-sample-store
  RUNTIME DESTINATION bin)

file(GLOB vantrex_sample_csv CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sample/data/*.csv)
install(FILES ${vantrex_sample_csv} ${CMAKE_SOURCE_DIR}/sample/data/README.md
  DESTINATION ${vantrex_share}/sample)
install(FILES ${vantrex_packaging}/upper.alt DESTINATION ${vantrex_share})

install(FILES ${vantrex_packaging}/vantrex-report.desktop
  ${vantrex_packaging}/JOVDataConfiguration.desktop
  DESTINATION share/applications)
install(FILES ${vantrex_packaging}/vantrex-report.svg
  DESTINATION share/icons/hicolor/scalable/apps)

# Manual pages carry the project version; they and the changelog are gzipped without a name
# or time stamp, so that the package's contents do not change from one build to the next.
set(vantrex_gzipped)
foreach(page vantrex-report JOVDataConfiguration vantrex-sample-store)
  configure_file(${vantrex_packaging}/${page}.1.in ${vantrex_generated}/${page}.1 @ONLY)
  list(APPEND vantrex_gzipped ${vantrex_generated}/${page}.1)
endforeach()
configure_file(${vantrex_packaging}/changelog ${vantrex_generated}/changelog COPYONLY)
list(APPEND vantrex_gzipped ${vantrex_generated}/changelog)

set(vantrex_gz_files)
foreach(file ${vantrex_gzipped})
  add_custom_command(OUTPUT ${file}.gz
    COMMAND gzip -n -9 -f -k ${file}
    DEPENDS ${file}
    COMMENT "gzip ${file}"
    VERBATIM)
  list(APPEND vantrex_gz_files ${file}.gz)
endforeach()
add_custom_target(vantrex_package_files ALL DEPENDS ${vantrex_gz_files})

install(FILES ${vantrex_generated}/vantrex-report.1.gz ${vantrex_generated}/JOVDataConfiguration.1.gz
  ${vantrex_generated}/vantrex-sample-store.1.gz
  DESTINATION share/man/man1)
install(FILES ${vantrex_packaging}/copyright ${vantrex_generated}/changelog.gz
  DESTINATION share/doc/${VANTREX_PACKAGE_NAME})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VANTREX_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vantrex Report team")
set(CPACK_PACKAGE_CONTACT ${VANTREX_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "purchase-order summary report of a store's back office")
set(CPACK_PACKAGE_DESCRIPTION
  "Vantrex Report reads a store's purchase-order data from its SQL database
(embedded SQLite, PostgreSQL, the store's SQL Server or any ODBC data
source) and produces a paginated document for a date range: the purchase
orders received by vendor with their totals and an optional export file,
the deleted orders, or the input-VAT report. The document is shown in a
print preview to page, zoom, search, print, mail or save as PDF;
scheduled runs write it straight to a PDF file.

The package also holds JOVDataConfiguration, which sets the database the
store's programs use, and vantrex-sample-store, which creates a sample
store to try the report with.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VANTREX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the programs themselves (dpkg-shlibdeps); the fonts stand in for
# the suite's Arial, xdg-utils mails the document.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, xdg-utils")
# The drivers of the store's SQL Server (FreeTDS) and of PostgreSQL through ODBC.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc, odbc-postgresql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
