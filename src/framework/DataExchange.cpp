#include "framework/DataExchange.h"

#include "framework/Controls.h"

void DataExchange::Control(int id, ControlWindow& member) {
    if (bindControls) member.Attach(GetDlgItem(dialog, id));
}

void DataExchange::Text(int id, std::string& member) {
    ControlWindow control;
    control.Attach(GetDlgItem(dialog, id));
    if (control.Handle() == nullptr) return;
    if (saveToMembers) {
        member = control.Text();
    } else {
        control.SetText(member);
    }
}
