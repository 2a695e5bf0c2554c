#include "framework/MessageTable.h"

const MessageEntry* MessageTable::Find(UINT message, WPARAM wParam) const {
    const UINT code = HIWORD(wParam);
    const UINT id = LOWORD(wParam);
    for (const MessageTable* table = this; table != nullptr; table = table->base) {
        for (std::size_t i = 0; i < table->count; ++i) {
            const MessageEntry& entry = table->entries[i];
            if (entry.message != message) continue;
            if (message == WM_COMMAND && (entry.notificationCode != code || entry.controlId != id))
                continue;
            return &entry;
        }
    }
    return nullptr;
}
