# A Debian package of the install tree: `cpack -G DEB` in the build folder.
# Library dependencies come from dpkg-shlibdeps (the UNO libraries resolve
# through the program's rpath to LibreOffice's program folder); the programs
# it runs come on top.
set(CPACK_PACKAGE_NAME brindlework)
set(CPACK_PACKAGE_VENDOR "Brindlework developers")
set(CPACK_PACKAGE_CONTACT "Brindlework developers <brindlework@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print many spreadsheet files in one batch")
set(CPACK_PACKAGE_DESCRIPTION "Brindlework prints many spreadsheet files in one batch through LibreOffice
on the printer you pick. Build an ordered list of files (open dialog, folder
scan, drag and drop), put it in order, choose a printer and start printing:
each file is loaded into LibreOffice, printed and closed.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://brindlework.example.org/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The office that loads and prints the sheets, and the CUPS client tools.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libreoffice-calc, cups-client")
# A local scheduler and a printer to use without hardware.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, printer-driver-cups-pdf")
# Text documents, presentations and drawings print where these are installed.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-writer, libreoffice-impress, libreoffice-draw")

include(CPack)
