#pragma once

#include <windows.h>

#include <string>

class Dialog;

// The one application object of the program. Derived classes exist once, as a static object;
// the program's entry point calls Run(), which calls InitInstance() once.
class Application {
  public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Initialises the module handle and the title, then runs InitInstance once. Returns the
    // process's exit code.
    int Run(HINSTANCE instance);

    // Called once after the framework is initialised; false ends the application.
    virtual bool InitInstance() = 0;

    // A message box owned by the main window (when there is one), captioned with the title.
    int ShowMessageBox(const std::wstring& text, UINT style);

    HINSTANCE Instance() const { return instance; }
    // The program file's name without its extension.
    const std::wstring& Title() const { return title; }

    Dialog* MainWindow() const { return mainWindow; }
    void SetMainWindow(Dialog* dialog) { mainWindow = dialog; }
    // Called by a dialog whose window is gone: the main-window reference must not outlive it.
    void WindowDestroyed(Dialog* dialog);

  private:
    HINSTANCE instance = nullptr;
    std::wstring title;
    Dialog* mainWindow = nullptr;
};

// The one application object, or null before it is constructed.
Application* TheApplication();

// The module whose templates, strings and icons the program shows: the application's instance,
// or the running program's before Run.
HINSTANCE ModuleInstance();
