#pragma once

// The application object of a Win32 program: one global instance derived from CWinApp, whose
// InitInstance the program's entry runs. When InitInstance returns FALSE the program ends with
// ExitInstance's result as its exit code; this framework has no message loop of its own, so a
// program's interactive life is the modal loops it runs from InitInstance.

#include <windows.h>

#include <string>

class CWnd;

class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    static CWinApp* Current() { return current_; }

    HINSTANCE m_hInstance = nullptr;
    const char* m_lpCmdLine = "";  // the command line's arguments part
    CWnd* m_pMainWnd = nullptr;

  private:
    static CWinApp* current_;
};

// The module that dialog templates and strings are loaded from: the program file itself, or a
// language library put in its place.
HINSTANCE GetResourceModule();
void SetResourceModule(HINSTANCE module);

// The program file's own resources, saved at start-up: skin bitmaps and glyph tables always come
// from here, whatever language library is in force. The running module until one is saved.
HINSTANCE OwnResourceModule();
void SetOwnResourceModule(HINSTANCE module);

// Loads string `id` from the resource module in force; empty when it has none.
std::string LoadResourceString(UINT id);
