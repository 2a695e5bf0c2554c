#pragma once

#include <windows.h>

#include <string>

#include "framework/DataExchange.h"
#include "framework/MessageTable.h"

// A modal dialog made from a dialog template of the application's module. Messages are looked
// up in the derived class's message table, then in its base classes' tables; a message that no
// table lists, and one whose handler passes it on with Default(), gets the dialog manager's own
// handling.
class Dialog {
  public:
    // parent null: the application's main window owns the dialog (when there is one and it is
    // not this dialog).
    explicit Dialog(UINT templateId, HWND parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the window from the template and runs it until EndDialog; returns its result,
    // or -1 when the window could not be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    HWND Handle() const { return hwnd; }

    using Direction = DataExchange::Direction;
    // Runs DoDataExchange in the given direction.
    bool UpdateData(Direction direction);

  protected:
    // The first exchange also binds the control members.
    virtual void DoDataExchange(DataExchange& dx);
    // Base behaviour: exchange towards the controls and let the platform set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Passes the message now being handled on to the dialog manager's default processing,
    // which runs when the handler has returned; the sender then gets that processing's result
    // and the handler's own result is not used. Returns 0.
    LRESULT Default();

    virtual const MessageTable* GetMessageTable() const { return &messageTable; }
    static const MessageEntry messageEntries[];
    static const MessageTable messageTable;

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        // Set by Default(): the dialog manager processes the message after the handler.
        bool passedOn;
    };

    UINT templateId;
    HWND parent;
    HWND hwnd = nullptr;
    bool controlsBound = false;
    CurrentMessage current{0, 0, 0, false};
};
