#pragma once

// The hand-off between the installer and a set-up program, as both sides keep it: the shared
// names, the command line that carries the article number, the class identifier and its records,
// the registry record of the number, and who may talk to whom. The installer and the set-up
// program kit both build on this one header. Texts are cp1251 unless a call says otherwise.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>

#include <map>

#include "util/KernelHandle.h"
#endif

// ---- Names ----------------------------------------------------------------------------------

// The catalogue beside the installer.
constexpr char catalogFileName[] = "install.crt";

// The named auto-reset event a started set-up program signals. The installer makes it before it
// starts the program and holds it until it ends.
constexpr char setupStartedEventName[] = "Setup Started";

// The title of the set-up program's window the installer looks for, the same for every
// localization: "Тестирование install.exe: RUS".
constexpr char setupWindowCaption[] =
    "\xD2\xE5\xF1\xF2\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5"
    " install.exe: RUS";

// The installer's own program file on a medium, and the file that starts it from a disc.
constexpr char installerFileName[] = "installer.exe";
constexpr char autorunFileName[] = "autorun.inf";

// ---- Localizations --------------------------------------------------------------------------

// The language letters an article number starts with, one per localization a medium can hold,
// in the order they are tried: English, German, French, Italian, Russian.
constexpr int languageCount = 5;
constexpr char languageLetters[languageCount + 1] = "EGFIR";

// The index of the number's first character in languageLetters, or -1. An empty number gives 0.
int LanguageIndexOf(const std::string& number);

// ---- The command line -----------------------------------------------------------------------

// A set-up program is started with " /v", the launch marker, "=" and the article number. The
// program path is passed apart, so the line starts with the space.
constexpr size_t launchMarkerLength = 23;
// Characters in front of the article number: " /v", the marker and "=".
constexpr size_t commandLinePrefixLength = 3 + launchMarkerLength + 1;

// Writes size - 1 capital letters of the launch marker and a zero byte at buffer[size - 1]. Letter
// i is 'A' + (start + i * step) % 25 for fixed start and step, so only A to Y ever appear and the
// word is the same on every call. A size of 0 writes nothing.
void BuildLaunchMarker(char* buffer, size_t size);

// The launch marker itself, the 23 letters that BuildLaunchMarker writes for a size of 24.
std::string LaunchMarker();

// The whole command line for an article number of any length; nothing of the number is dropped.
std::string BuildCommandLine(const std::string& number);

// The article number on a set-up program's command line: the text after " /v" + launch marker +
// "=", to the end of the line. A path in front is allowed. Nothing when the line does not carry
// the marker (or is null). The 8-bit form reads GetCommandLineA's text, the wide form
// GetCommandLineW's.
std::optional<std::string_view> CommandLineNumber(const char* commandLine);
std::optional<std::wstring_view> CommandLineNumber(const wchar_t* commandLine);

// ---- The class identifier -------------------------------------------------------------------

// The identifier a set-up program receives and must send back: 38 characters in the registry
// form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", made from 16 random bytes.
constexpr size_t handoffClassIdLength = 38;

using HandoffBytes = std::array<std::uint8_t, 16>;

// Two capital hexadecimal digits per byte, bytes in the order given, no group reversed.
std::string FormatHandoffClassId(const HandoffBytes& bytes);

// True for exactly the texts FormatHandoffClassId writes.
bool IsHandoffClassId(const std::string& text);

// Sixteen draws from a rand-like source; byte k is the low 8 bits of draw k.
HandoffBytes DrawHandoffBytes(const std::function<int()>& draw);

// Draws identifiers from the source until one is not taken; the source is never reseeded, so each
// further identifier continues its sequence.
std::string DrawFreeHandoffClassId(const std::function<int()>& draw,
                                   const std::function<bool(const std::string& classId)>& isTaken);

// ---- The identifier's WM_COPYDATA records ---------------------------------------------------

// The installer sends the identifier to the set-up program's window: wParam = the installer's
// window, dwData = the numeric value of its event handle, cbData = the text's length plus its
// zero. The set-up program sends the same text back to that window.

// The installer's record as a set-up program takes it: exactly 39 bytes, a well-formed identifier
// and its zero. Any other record (none, short, unterminated, oversized, another text) gives
// nothing.
std::optional<std::string> InstallerIdentifier(const void* data, std::size_t size);

// The answer as the installer reads it: the bytes at data up to the first zero byte, reading no
// further than size bytes; a null data pointer gives an empty text.
std::string ReceivedReplyText(const void* data, size_t size);

// True when an identifier was sent and the answer is exactly that identifier, byte for byte.
bool IsAcceptedReply(const std::string& sentClassId, const std::string& received);

// ---- The registry record --------------------------------------------------------------------

// Under HKEY_CLASSES_ROOT, "CLSID\{id}" with the subkeys "InprocServer32" and "Art"; the number
// is the default value of "Art" (REG_SZ). The identifier's key path, "CLSID\" and the identifier:
std::string HandoffKeyPath(const std::string& classId);
constexpr char handoffServerKeyName[] = "InprocServer32";
constexpr char handoffNumberKeyName[] = "Art";

#ifdef _WIN32
// The registry view that holds the record: the 32-bit one, on every system and from every build.
// The installer has always been a 32-bit program, so that is where 32-bit set-up programs read
// it; the installer's 64-bit build writes and checks it there too, and the kit reads it there
// from 32-bit and 64-bit set-up programs alike. On a 32-bit system the flag changes nothing.
constexpr REGSAM kHandoffRegistryView = KEY_WOW64_32KEY;

// ---- Who talks to whom ----------------------------------------------------------------------

// Every running process's parent id, as one snapshot of the system's processes shows them; empty
// when no snapshot can be taken.
std::map<DWORD, DWORD> ParentsOfProcesses();

// When a process was created, in the system's 100-ns units; 0 when it cannot be asked. A process
// id names a later process once its own process has ended: a parent created after its child is
// not its parent.
ULONGLONG ProcessCreationTime(HANDLE process);

// The installer's side: the processes of a launched set-up program, that is the launched process
// and those it started, directly or further down, as one snapshot of the system's processes
// shows them. Each link is checked by creation time: a parent id another process took over after
// its own process ended does not count. The launched process must be held open while this is
// used, so that its id stays its own.
class LaunchedProcessTree {
  public:
    explicit LaunchedProcessTree(HANDLE launched);
    bool Holds(DWORD processId) const;

  private:
    DWORD launchedId = 0;
    ULONGLONG launchedCreated = 0;
    std::map<DWORD, DWORD> parents;
};

// The set-up program's side: the process that started this one (the installer), held open so that
// its id stays its own while it is held. A process under the parent's id that started after this
// one took the id over from the parent, which has ended: then there is no parent.
class ParentProcess {
  public:
    static ParentProcess OfThisProcess();

    // True when processId is the parent's and its end has not been seen.
    bool Is(DWORD processId) const { return handle && processId == id; }
    // To wait for its end; null when there is no parent or its end has been seen.
    HANDLE Handle() const { return handle.Get(); }
    // Its end has been seen.
    void Forget() { handle.Reset(); }

  private:
    DWORD id = 0;
    KernelHandle handle;
};
#endif
