#pragma once

// The names the installer shares with the set-up programs and the medium tools. Texts are cp1251.

// The catalogue beside the installer.
constexpr char catalogFileName[] = "install.crt";

// The named auto-reset event a started set-up program signals.
constexpr char setupStartedEventName[] = "Setup Started";

// The title of the set-up program's window the installer looks for, the same for every
// localization: "Тестирование install.exe: RUS".
constexpr char setupWindowCaption[] =
    "\xD2\xE5\xF1\xF2\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5"
    " install.exe: RUS";

// The installer's own program file on a medium, and the file that starts it from a disc.
constexpr char installerFileName[] = "installer.exe";
constexpr char autorunFileName[] = "autorun.inf";
