#include "tests/e2e/driver/shortcut_reader.h"

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shlobj.h>

namespace e2e {

bool ReadShortcut(const std::string& path, ShortcutRead* shortcut) {
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (ok) {
        WCHAR wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        ok = SUCCEEDED(file->Load(wide, STGM_READ));
        file->Release();
    }
    char text[MAX_PATH + 1];
    auto read = [&](auto get, std::string* into) {
        text[0] = '\0';
        get(text);
        *into = text;
    };
    if (ok) {
        read([&](char* t) { link->GetPath(t, MAX_PATH, nullptr, SLGP_RAWPATH); },
             &shortcut->target);
        read([&](char* t) { link->GetArguments(t, MAX_PATH); }, &shortcut->arguments);
        read([&](char* t) { link->GetWorkingDirectory(t, MAX_PATH); }, &shortcut->working_folder);
        read([&](char* t) { link->GetDescription(t, MAX_PATH); }, &shortcut->description);
        read([&](char* t) { link->GetIconLocation(t, MAX_PATH, &shortcut->icon_index); },
             &shortcut->icon);
    }
    link->Release();
    return ok;
}

}  // namespace e2e
