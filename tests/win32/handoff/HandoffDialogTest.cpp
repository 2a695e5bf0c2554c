// The product dialog's hand-off members run in the test's own process, for what only the
// process itself can see: whether the handle of the event "Setup Started" is still open after
// the dialog has ended, and how a failed start leaves the dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "RegistryTree.h"
#include "catalog/ArticleCatalog.h"
#include "catalog/CatalogStore.h"
#include "framework/Application.h"
#include "handoff/HandoffClassId.h"
#include "handoff/HandoffNames.h"
#include "ui/ProductSelectDialog.h"
#include "ui/resource.h"
#include "util/PathParts.h"

namespace {

constexpr UINT kRunOnDialogThread = WM_APP + 7;

class TestApp : public Application {
  public:
    bool InitInstance() override { return false; }
};

TestApp testApp;

class HandoffProbe : public ProductSelectDialog {
  public:
    using ProductSelectDialog::articleNumber;
    using ProductSelectDialog::handoffClassId;
    using ProductSelectDialog::handoffSettled;
    using ProductSelectDialog::setupStartedEvent;

    // Runs fn on the dialog's thread and returns when it is done.
    void Run(const std::function<void()>& fn) {
        SendMessageA(Handle(), kRunOnDialogThread, 0, reinterpret_cast<LPARAM>(&fn));
    }

  private:
    LRESULT OnRun(WPARAM, LPARAM fn) {
        (*reinterpret_cast<const std::function<void()>*>(fn))();
        return 0;
    }

  protected:
    DECLARE_MESSAGE_TABLE()
};

DEFINE_MESSAGE_TABLE(HandoffProbe, ProductSelectDialog,
                     OnMessageEntry(kRunOnDialogThread, &HandoffProbe::OnRun))

std::string BesideProgram(const std::string& name) {
    PathParts path(name);
    path.SetDirectoryFromModule("");
    return path.fullPath;
}

bool HandleIsOpen(HANDLE handle) {
    DWORD flags = 0;
    return handle != nullptr && GetHandleInformation(handle, &flags) != FALSE;
}

template <class Ready>
bool WaitFor(Ready ready, DWORD timeoutMs = 10000) {
    const DWORD start = GetTickCount();
    while (!ready()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

struct BoxSearch {
    HWND dialog;
    HWND found;
};

BOOL CALLBACK VisitThreadWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (window != search->dialog && std::string(name) == "#32770" && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A message box shown on the dialog's thread, other than the dialog itself.
HWND FindBox(HWND dialog) {
    BoxSearch search{dialog, nullptr};
    EnumThreadWindows(GetWindowThreadProcessId(dialog, nullptr), &VisitThreadWindow,
                      reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class HandoffInProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateDirectoryA(BesideProgram("handoff-folder").c_str(), nullptr);
        CatalogStore store;
        store.Section(ArticleCatalog::ArticleSectionName)
            .Set("E1", CatalogValue::String(BesideProgram("handoff-folder")));
        ASSERT_TRUE(store.Save(BesideProgram(catalogFileName), true));
        store.modified = false;

        modal = std::thread([this] { result = dialog.DoModal(); });
        ASSERT_TRUE(WaitFor(
            [this] { return dialog.Handle() != nullptr && IsWindowVisible(dialog.Handle()); }));
        dialog.Run([&] { event = dialog.setupStartedEvent.Get(); });
        ASSERT_TRUE(HandleIsOpen(event));
    }

    void TearDown() override {
        if (dialog.Handle() != nullptr) PostMessageA(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
        if (modal.joinable()) modal.join();
        for (const auto& id : madeIds) DeleteTree(HKEY_CLASSES_ROOT, HandoffKeyPath(id));
        RemoveDirectoryA(BesideProgram("handoff-folder").c_str());
    }

    // Ends the dialog through Cancel and waits for its modal run to return.
    void Cancel() {
        PostMessageA(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
        modal.join();
        EXPECT_EQ(result, IDCANCEL);
    }

    // Sends the dialog a WM_COPYDATA as a set-up program would, and waits for the dialog's end.
    void Answer(const std::string& text) {
        COPYDATASTRUCT record{};
        record.cbData = static_cast<DWORD>(text.size() + 1);
        record.lpData = const_cast<char*>(text.c_str());
        SendMessageA(dialog.Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
        modal.join();
        EXPECT_EQ(result, IDCANCEL);
    }

    HandoffProbe dialog;
    std::thread modal;
    INT_PTR result = 0;
    HANDLE event = nullptr;
    std::vector<std::string> madeIds;
};

TEST_F(HandoffInProcess, CancelWithoutALaunchLeavesTheEventOpen) {
    Cancel();
    EXPECT_TRUE(HandleIsOpen(event));
}

TEST_F(HandoffInProcess, FailedStartKeepsTheDialogAndCancelThenClosesTheEvent) {
    SetWindowTextA(GetDlgItem(dialog.Handle(), IDC_NUMBER), "E1");
    PostMessageA(GetDlgItem(dialog.Handle(), IDC_NEXT), BM_CLICK, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindBox(dialog.Handle())) != nullptr; }));
    // The launch's box carries the application's title: the program file's name.
    EXPECT_EQ(WindowText(box), testApp.Title());
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return FindBox(dialog.Handle()) == nullptr; }));

    bool settled = true;
    dialog.Run([&] { settled = dialog.handoffSettled; });
    EXPECT_FALSE(settled);
    EXPECT_TRUE(IsWindowVisible(dialog.Handle()));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog.Handle(), IDC_NEXT)));
    EXPECT_TRUE(HandleIsOpen(event));

    Cancel();
    EXPECT_FALSE(HandleIsOpen(event));
    EXPECT_EQ(dialog.setupStartedEvent.Get(), nullptr);
}

TEST_F(HandoffInProcess, AcceptedAnswerWritesTheRecordAndKeepsTheEventOpen) {
    const std::string id = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    madeIds.push_back(id);
    DeleteTree(HKEY_CLASSES_ROOT, HandoffKeyPath(id));
    dialog.Run([&] {
        // As after a launch whose set-up window was found and sent the identifier.
        dialog.handoffSettled = false;
        dialog.handoffClassId = id;
        dialog.articleNumber = "E77";
    });
    Answer(id);
    EXPECT_TRUE(dialog.handoffSettled);
    EXPECT_TRUE(HandleIsOpen(event));
    char value[16] = {};
    LONG size = sizeof value;
    EXPECT_EQ(
        RegQueryValueA(HKEY_CLASSES_ROOT, (HandoffKeyPath(id) + "\\Art").c_str(), value, &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(value, "E77");
}

TEST_F(HandoffInProcess, OtherAnswerAfterALaunchEndsWithTheEventClosedAndNoRecord) {
    const std::string id = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    madeIds.push_back(id);
    DeleteTree(HKEY_CLASSES_ROOT, HandoffKeyPath(id));
    dialog.Run([&] {
        dialog.handoffSettled = false;
        dialog.handoffClassId = id;
        dialog.articleNumber = "E77";
    });
    Answer(id.substr(0, 37));
    EXPECT_FALSE(dialog.handoffSettled);
    EXPECT_FALSE(HandleIsOpen(event));
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CLASSES_ROOT, HandoffKeyPath(id).c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
}

TEST_F(HandoffInProcess, CopyDataWithoutARecordEndsTheDialog) {
    SendMessageA(dialog.Handle(), WM_COPYDATA, 0, 0);
    modal.join();
    EXPECT_EQ(result, IDCANCEL);
    // No launch was begun: the event stays open.
    EXPECT_TRUE(HandleIsOpen(event));
}

}  // namespace
