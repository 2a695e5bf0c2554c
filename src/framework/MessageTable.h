#pragma once

#include <windows.h>

#include <cstddef>
#include <type_traits>

class Dialog;

// One row of a dialog's message table: a message (for WM_COMMAND also the notification code and
// the control id) and the member function that handles it. Exactly one of the two handler
// pointers is set.
struct MessageEntry {
    // A command or notification handler: no arguments, the message counts as handled.
    using CommandHandler = void (Dialog::*)();
    // A message handler: gets the message's parameters, returns the message's result.
    using MessageHandler = LRESULT (Dialog::*)(WPARAM, LPARAM);

    UINT message;
    UINT notificationCode;
    UINT controlId;
    CommandHandler command;
    MessageHandler handler;
};

// A class's table and the table of its base class, searched after it.
struct MessageTable {
    const MessageTable* base;
    const MessageEntry* entries;
    std::size_t count;

    // Linear search through this table and then the base tables; null when nothing matches.
    const MessageEntry* Find(UINT message, WPARAM wParam) const;
};

// A table row that still knows the class its handler belongs to, so that the table's definition
// can check it; it becomes a plain row in the table.
template <class D>
struct HandlerRow {
    static_assert(std::is_base_of<Dialog, D>::value,
                  "a message table handler must be a member of a class derived from Dialog");
    MessageEntry entry;
    constexpr operator MessageEntry() const { return entry; }
};

// Builders for table rows; D is the dialog class the handler belongs to.
template <class D>
constexpr HandlerRow<D> OnCommandEntry(UINT notificationCode, UINT controlId, void (D::*fn)()) {
    return {{WM_COMMAND, notificationCode, controlId, static_cast<MessageEntry::CommandHandler>(fn),
             nullptr}};
}

template <class D>
constexpr HandlerRow<D> OnMessageEntry(UINT message, LRESULT (D::*fn)(WPARAM, LPARAM)) {
    return {{message, 0, 0, nullptr, static_cast<MessageEntry::MessageHandler>(fn)}};
}

template <class D>
constexpr HandlerRow<D> OnMessageEntry(UINT message, void (D::*fn)()) {
    return {{message, 0, 0, static_cast<MessageEntry::CommandHandler>(fn), nullptr}};
}

// The number of rows, once every row's handler is known to be a member of Class or of one of
// its bases: a handler of another class would be called on an object that is not of its class.
template <class Class, class... D>
constexpr std::size_t CountTableRows(const HandlerRow<D>&...) {
    static_assert(
        (std::is_base_of<D, Class>::value && ...),
        "a message table handler must be a member of the table's class or of one of its bases");
    return sizeof...(D);
}

// Declares a dialog class's table; define it with DEFINE_MESSAGE_TABLE. It declares no access
// of its own: put it in a protected section, as derived classes' tables name it as their base.
#define DECLARE_MESSAGE_TABLE()                            \
    static const MessageEntry messageEntries[];            \
    static const MessageTable messageTable;                \
    const MessageTable* GetMessageTable() const override { \
        return &messageTable;                              \
    }

// DEFINE_MESSAGE_TABLE(Class, Base, rows...): Class's rows, searched before Base's table.
#define DEFINE_MESSAGE_TABLE(Class, Base, ...)                                            \
    static_assert(std::is_base_of<Base, Class>::value,                                    \
                  "a message table's base table must be the table of a base class");      \
    const MessageEntry Class::messageEntries[] = {__VA_ARGS__};                           \
    const MessageTable Class::messageTable = {&Base::messageTable, Class::messageEntries, \
                                              CountTableRows<Class>(__VA_ARGS__)};
