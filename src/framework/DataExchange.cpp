#include "framework/DataExchange.h"

#include "framework/Controls.h"
#include "util/WideText.h"

void DataExchange::Control(int id, ControlWindow& member) {
    if (bindControls) member.Attach(GetDlgItem(dialog, id));
}

void DataExchange::Text(int id, std::wstring& member) {
    ControlWindow control;
    control.Attach(GetDlgItem(dialog, id));
    if (control.Handle() == nullptr) return;
    if (direction == Direction::ToMembers) {
        member = control.Text();
    } else {
        control.SetText(member);
    }
}

void DataExchange::Cp1251Text(int id, std::string& member, bool& fits) {
    std::wstring text = WideFromCp1251(member);
    Text(id, text);
    if (direction != Direction::ToMembers) return;
    fits = Cp1251FromWide(text, member);
    if (!fits) member.clear();
}
