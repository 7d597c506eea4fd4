#include "platform/win32/ui/child_window.h"

#include <cstdio>

CChildWindow::~CChildWindow() {
    DestroyWindow();
}

bool CChildWindow::Create(UINT class_style, const char* title, DWORD style, const RECT& rect,
                          HWND parent, UINT id) {
    if (m_hWnd != nullptr) {
        return false;
    }
    const std::string class_name = RegisterWindowClass(class_style);
    if (class_name.empty()) {
        return false;
    }
    // m_hWnd is set on WM_NCCREATE, before the window's first message reaches OnMessage.
    const HWND hwnd = CreateWindowExA(0, class_name.c_str(), title, style, rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                      GetModuleHandleA(nullptr), this);
    return hwnd != nullptr;
}

void CChildWindow::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return;
    }
    // Detached first: the messages of the destruction must not reach an object that is half
    // gone, and a window that cannot be destroyed from this thread must not keep a pointer to
    // it.
    const HWND hwnd = m_hWnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    m_hWnd = nullptr;
    ::DestroyWindow(hwnd);
}

std::string CChildWindow::RegisterWindowClass(UINT class_style) {
    const HINSTANCE module = GetModuleHandleA(nullptr);
    char name[48];
    std::snprintf(name, sizeof name, "Dominarch:%p:%x", static_cast<void*>(module), class_style);
    WNDCLASSA window_class = {};
    if (GetClassInfoA(module, name, &window_class)) {
        return name;
    }
    window_class.style = class_style;
    window_class.lpfnWndProc = &CChildWindow::WindowProc;
    window_class.hInstance = module;
    window_class.lpszClassName = name;
    // A class registered by another thread in between serves as well.
    if (RegisterClassA(&window_class) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return std::string();
    }
    return name;
}

LRESULT CALLBACK CChildWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        auto* window = static_cast<CChildWindow*>(create->lpCreateParams);
        if (window != nullptr) {  // null when a stranger creates a window of the class
            window->m_hWnd = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        }
    }
    auto* window = reinterpret_cast<CChildWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (window == nullptr) {
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
    LRESULT result = 0;
    if (!window->OnMessage(message, wparam, lparam, &result)) {
        result = DefWindowProcA(hwnd, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        window->m_hWnd = nullptr;
    }
    return result;
}
