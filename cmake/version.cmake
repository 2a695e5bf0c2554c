# The one place of the installer's version: the version resource (the About box shows the file
# version), the release's name and the medium command's help read it from here.
set(INSTALLER_FILE_VERSION 6.0.0.28)
set(INSTALLER_PRODUCT_VERSION 6.0.0.0)
set(INSTALLER_RELEASE_NAME medium-installer)
