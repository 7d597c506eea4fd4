// Shortcut files through the shell's link object: IShellLinkA for the fields, IPersistFile to
// save. COM is initialised on every call and never uninitialised (a second CoInitialize on the
// thread only counts up).

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "platform/shortcuts.h"

namespace platform {

namespace {

// The published identifiers, spelled out so nothing depends on an import library's copy.
constexpr CLSID kShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// The file name as IPersistFile takes it, in a buffer of the size the conversion asks for, so
// that a name of any length arrives whole and terminated.
HRESULT WideNameOf(const std::string& name, std::wstring* wide) {
    const int size = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, name.c_str(), -1, nullptr, 0);
    if (size > 0) {
        wide->assign(static_cast<size_t>(size), L'\0');
        if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, name.c_str(), -1, wide->data(), size) ==
            size) {
            wide->resize(static_cast<size_t>(size) - 1);  // without the NUL it wrote
            return S_OK;
        }
    }
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

class ComShortcuts : public ShortcutWriter {
  public:
    int32_t Save(const std::string& file_name, const ShortcutFields& fields) override {
        std::wstring wide;
        if (HRESULT converted = WideNameOf(file_name, &wide); FAILED(converted)) {
            return converted;
        }
        CoInitialize(nullptr);
        IShellLinkA* link = nullptr;
        HRESULT result = CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kShellLinkA,
                                          reinterpret_cast<void**>(&link));
        if (FAILED(result)) {
            return result;
        }
        link->SetPath(fields.target.c_str());
        link->SetDescription(fields.description.c_str());
        link->SetArguments(fields.arguments.c_str());
        link->SetWorkingDirectory(fields.working_folder.c_str());
        if (!fields.icon.empty()) {
            link->SetIconLocation(fields.icon.c_str(), 0);
        }
        IPersistFile* file = nullptr;
        result = link->QueryInterface(kPersistFile, reinterpret_cast<void**>(&file));
        if (FAILED(result)) {
            link->Release();
            return result;
        }
        result = file->Save(wide.c_str(), TRUE);
        file->Release();
        link->Release();
        return result;
    }
};

}  // namespace

ShortcutWriter& PlatformShortcutWriter() {
    static ComShortcuts writer;
    return writer;
}

}  // namespace platform
