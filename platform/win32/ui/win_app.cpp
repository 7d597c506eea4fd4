#include "platform/win32/ui/win_app.h"

#include "platform/arguments.h"

CWinApp* CWinApp::current_ = nullptr;

namespace {
HINSTANCE g_resource_module = nullptr;
HINSTANCE g_own_resource_module = nullptr;
}  // namespace

CWinApp::CWinApp() {
    current_ = this;
}

CWinApp::~CWinApp() {
    if (current_ == this) {
        current_ = nullptr;
    }
}

HINSTANCE GetResourceModule() {
    return g_resource_module;
}

HINSTANCE OwnResourceModule() {
    return g_own_resource_module != nullptr ? g_own_resource_module : GetModuleHandleA(nullptr);
}

void SetOwnResourceModule(HINSTANCE module) {
    g_own_resource_module = module;
}

void SetResourceModule(HINSTANCE module) {
    g_resource_module = module;
}

std::string LoadResourceString(UINT id) {
    char text[512];
    const int length = LoadStringA(g_resource_module, id, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CWinApp* app = CWinApp::Current();
    if (app == nullptr) {
        return 1;
    }
    SetResourceModule(instance);
    app->m_hInstance = instance;
    // The C runtime would split an unquoted program path at its first blank, as in the line
    // "C:\Program Files\Dominarch\Setup.exe /uninstall" that earlier uninstall entries hold; the
    // arguments are taken after the program's own path instead.
    static std::string arguments;
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    arguments = std::string(platform::ArgumentsOf(
        GetCommandLineA(), std::string_view(program, length < MAX_PATH ? length : 0)));
    app->m_lpCmdLine = arguments.c_str();
    app->InitInstance();
    return app->ExitInstance();
}
