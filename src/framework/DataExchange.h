#pragma once

#include <windows.h>

#include <string>

class ControlWindow;

// One run of a dialog's data exchange: binds control members (on the dialog's first exchange
// only) and moves texts between controls and members in the direction asked for.
class DataExchange {
  public:
    // Which way the texts move.
    enum class Direction {
        ToMembers,   // the controls' texts are read into the members
        ToControls,  // the members' texts are shown in the controls
    };

    DataExchange(HWND dialog, Direction direction, bool bindControls)
        : dialog(dialog), direction(direction), bindControls(bindControls) {}

    void Control(int id, ControlWindow& member);
    // Towards the controls: the control's text := member; towards the members: the reverse.
    void Text(int id, std::wstring& member);
    // The same for a member that holds cp1251 text. Towards the members, fits tells whether every
    // character of the control's text has a cp1251 byte; when one has none, member is emptied, so
    // that no stand-in character is ever taken for the text.
    void Cp1251Text(int id, std::string& member, bool& fits);

  private:
    HWND dialog;
    Direction direction;
    bool bindControls;
};
