#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "ui/ProductSelectDialog.h"
#include "ui/resource.h"

// The product selection dialog run in the test's own process, for what only its members show.
namespace support {

// The application object of a test program that runs dialogs itself: it starts nothing.
Application& TestApplication();

// The real dialog as its user sees and works it (its controls, clicks, the launch's outcome), with
// the number it holds and the numbers it stores with the list's items opened to the test, and one
// more message: a function run on the dialog's thread, so that a test acts the way the dialog's
// own messages would.
class ProductDialogProbe : public ProductSelectDialog {
  public:
    using ProductSelectDialog::articleNumber;
    using ProductSelectDialog::ItemNumber;
    using ProductSelectDialog::ReleaseItemNumbers;

    // A click, or another notification, of a control (on the dialog's thread), as the user's
    // action sends it.
    void Command(int controlId, int code = BN_CLICKED) {
        SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(controlId, code),
                     reinterpret_cast<LPARAM>(GetDlgItem(Handle(), controlId)));
    }
    // The page's controls, as the user sees them.
    ComboBoxControl LocalizationList() const { return Control<ComboBoxControl>(IDC_LOCALIZATIONS); }
    ButtonControl NextButton() const { return Control<ButtonControl>(IDC_NEXT); }
    EditControl NumberEdit() const { return Control<EditControl>(IDC_NUMBER); }
    // The launch of the set-up program, as far as it tells.
    const SetupLaunch& Launch() const { return launch; }

    // Runs fn on the dialog's thread and returns when it is done.
    void Run(const std::function<void()>& fn);

    // Shows the localization page the way the resolution does, with these (name, number) items.
    void EnterLocalizationPage(const std::vector<std::pair<std::string, std::string>>& items);

  private:
    template <class C>
    C Control(int id) const {
        C control;
        control.Attach(GetDlgItem(Handle(), id));
        return control;
    }
    LRESULT OnRun(WPARAM, LPARAM fn);

  protected:
    DECLARE_MESSAGE_TABLE()
};

// Writes install.crt beside the test program with these article entries.
bool WriteCatalogBesideProgram(const std::map<std::string, std::string>& articles);

// One modal run of the dialog on a thread of its own. The dialog is made with the run, so that
// whatever a test sets up before (e.g. the event's name taken) is there when it is constructed.
class ProductDialogRun {
  public:
    ProductDialogRun() = default;
    // Ends a run that is still going through Cancel and waits for it.
    ~ProductDialogRun();
    ProductDialogRun(const ProductDialogRun&) = delete;
    ProductDialogRun& operator=(const ProductDialogRun&) = delete;

    // Starts the modal run; true once the dialog's window is visible.
    bool Start();
    // Posts Cancel and waits for the modal run to return.
    INT_PTR Cancel();
    // Waits for the dialog's window to go and the modal run to return; false after the time.
    bool WaitEnd();
    // Waits for the modal run to return, however long it takes.
    INT_PTR Join();
    INT_PTR Result() const { return result; }
    HWND Handle() const { return dialog.Handle(); }

    ProductDialogProbe dialog;

  private:
    std::thread modal;
    INT_PTR result = 0;
};

}  // namespace support
