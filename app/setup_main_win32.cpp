// The one application object of Setup.exe.
#include "app/installer_app_win32.h"

CInstallerApp theApp;
