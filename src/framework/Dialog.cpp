#include "framework/Dialog.h"

#include "framework/Application.h"
#include "framework/ResourceLanguage.h"

const MessageEntry Dialog::messageEntries[] = {
    OnCommandEntry(BN_CLICKED, IDOK, &Dialog::OnOKCommand),
    OnCommandEntry(BN_CLICKED, IDCANCEL, &Dialog::OnCancelCommand),
};
const MessageTable Dialog::messageTable = {nullptr, Dialog::messageEntries,
                                           sizeof(Dialog::messageEntries) / sizeof(MessageEntry)};

Dialog::Dialog(UINT templateId, HWND parent) : templateId(templateId), parent(parent) {}

Dialog::~Dialog() = default;

INT_PTR Dialog::DoModal() {
    Application* app = TheApplication();
    HWND owner = parent;
    if (owner == nullptr && app != nullptr && app->MainWindow() != nullptr &&
        app->MainWindow() != this)
        owner = app->MainWindow()->Handle();
    controlsBound = false;
    // The template in the language of the module's texts, where it has one.
    const HINSTANCE module = ModuleInstance();
    const void* localized = LockedResource(module, dialogTemplates, MAKEINTRESOURCEW(templateId),
                                           ResourceLanguageOf(module));
    if (localized != nullptr)
        return DialogBoxIndirectParamW(module, static_cast<LPCDLGTEMPLATEW>(localized), owner,
                                       &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return DialogBoxParamW(module, MAKEINTRESOURCEW(templateId), owner, &Dialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) {
    if (hwnd != nullptr) ::EndDialog(hwnd, result);
}

bool Dialog::UpdateData(Direction direction) {
    if (hwnd == nullptr) return false;
    DataExchange dx(hwnd, direction, !controlsBound);
    DoDataExchange(dx);
    controlsBound = true;
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

BOOL Dialog::OnInitDialog() {
    UpdateData(Direction::ToControls);
    return TRUE;
}

void Dialog::OnOK() {
    UpdateData(Direction::ToMembers);
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT Dialog::Default() {
    current.passedOn = true;
    return 0;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd = window;
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) return FALSE;
    const INT_PTR result = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd = nullptr;
        if (Application* app = TheApplication()) app->WindowDestroyed(self);
    }
    return result;
}

namespace {

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // Handlers may nest (message boxes dispatch messages), so the current message is
        // kept per call.
        const CurrentMessage outer = current;
        current = {message, wParam, lParam, false};
        const BOOL focusDefault = OnInitDialog();
        current = outer;
        return focusDefault;
    }
    const MessageEntry* entry = GetMessageTable()->Find(message, wParam);
    // FALSE: the dialog manager processes a message that no table lists.
    if (entry == nullptr) return FALSE;
    const CurrentMessage outer = current;
    current = {message, wParam, lParam, false};
    LRESULT result = 0;
    if (entry->command != nullptr) {
        (this->*(entry->command))();
    } else {
        result = (this->*(entry->handler))(wParam, lParam);
    }
    const bool passedOn = current.passedOn;
    current = outer;
    // FALSE: the dialog manager processes the message itself and answers the sender.
    if (passedOn) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    if (hwnd != nullptr) SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
