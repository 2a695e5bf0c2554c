#include "framework/Application.h"

#include "framework/Dialog.h"
#include "framework/MessageBoxes.h"
#include "util/ModuleFile.h"
#include "util/PathParts.h"
#include "util/WideText.h"

namespace {

Application* theApplication = nullptr;

}  // namespace

Application* TheApplication() {
    return theApplication;
}

HINSTANCE ModuleInstance() {
    Application* app = TheApplication();
    return app != nullptr && app->Instance() != nullptr ? app->Instance()
                                                        : GetModuleHandleW(nullptr);
}

Application::Application() {
    theApplication = this;
}

Application::~Application() {
    if (theApplication == this) theApplication = nullptr;
}

int Application::Run(HINSTANCE moduleInstance) {
    instance = moduleInstance != nullptr ? moduleInstance : GetModuleHandleW(nullptr);
    // No title string in the resources: the title is the program file's name.
    title = WideFromUtf8(PathParts(OwnProgramPath()).Name());
    InitInstance();
    return 0;
}

int Application::ShowMessageBox(const std::wstring& text, UINT style) {
    HWND owner = mainWindow != nullptr ? mainWindow->Handle() : nullptr;
    return ::ShowMessageBox(owner, text, title.c_str(), style);
}

void Application::WindowDestroyed(Dialog* dialog) {
    if (mainWindow == dialog) mainWindow = nullptr;
}
