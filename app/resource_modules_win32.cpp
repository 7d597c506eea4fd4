#include "app/resource_modules_win32.h"

#include <windows.h>

#include "platform/win32/ui/win_app.h"

app::ResourceModules::Module CResourceModules::Own() {
    return OwnResourceModule();
}

app::ResourceModules::Module CResourceModules::Load(const char* library) {
    return LoadLibraryA(library);
}

void CResourceModules::Free(Module module) {
    FreeLibrary(static_cast<HMODULE>(module));
}

app::ResourceModules::Module CResourceModules::InForce() {
    return GetResourceModule();
}

void CResourceModules::SetInForce(Module module) {
    SetResourceModule(static_cast<HINSTANCE>(module));
}
