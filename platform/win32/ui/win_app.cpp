#include "platform/win32/ui/win_app.h"

#include "platform/arguments.h"

CWinApp* CWinApp::current_ = nullptr;

namespace {
HINSTANCE g_resource_module = nullptr;
}

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
    // The arguments are taken from the full command line by the same rule everywhere, rather
    // than from what the C runtime happens to pass.
    static std::string arguments;
    arguments = std::string(platform::ArgumentsOf(GetCommandLineA()));
    app->m_lpCmdLine = arguments.c_str();
    app->InitInstance();
    return app->ExitInstance();
}
