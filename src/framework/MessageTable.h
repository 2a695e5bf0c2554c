#pragma once

#include <windows.h>

#include <cstddef>

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

// Builders for table rows; D is the dialog class the handler belongs to.
template <class D>
constexpr MessageEntry OnCommandEntry(UINT notificationCode, UINT controlId, void (D::*fn)()) {
    return MessageEntry{WM_COMMAND, notificationCode, controlId,
                        static_cast<MessageEntry::CommandHandler>(fn), nullptr};
}

template <class D>
constexpr MessageEntry OnMessageEntry(UINT message, LRESULT (D::*fn)(WPARAM, LPARAM)) {
    return MessageEntry{message, 0, 0, nullptr, static_cast<MessageEntry::MessageHandler>(fn)};
}

template <class D>
constexpr MessageEntry OnMessageEntry(UINT message, void (D::*fn)()) {
    return MessageEntry{message, 0, 0, static_cast<MessageEntry::CommandHandler>(fn), nullptr};
}

// Declares a dialog class's table; define it with DEFINE_MESSAGE_TABLE.
#define DECLARE_MESSAGE_TABLE()                            \
  protected:                                               \
    static const MessageEntry messageEntries[];            \
    static const MessageTable messageTable;                \
    const MessageTable* GetMessageTable() const override { \
        return &messageTable;                              \
    }

// DEFINE_MESSAGE_TABLE(Class, Base, rows...)
#define DEFINE_MESSAGE_TABLE(Class, Base, ...)                  \
    const MessageEntry Class::messageEntries[] = {__VA_ARGS__}; \
    const MessageTable Class::messageTable = {                  \
        &Base::messageTable, Class::messageEntries,             \
        sizeof(Class::messageEntries) / sizeof(Class::messageEntries[0])};
