#include "SetupStartedEvent.h"

#include "protocol/HandoffProtocol.h"

InstallerEvent OpenInstallerEvent(KernelHandle& event) {
    event.Reset(OpenEventA(EVENT_MODIFY_STATE, FALSE, setupStartedEventName));
    if (event) return InstallerEvent::open;
    return GetLastError() == ERROR_FILE_NOT_FOUND ? InstallerEvent::missing
                                                  : InstallerEvent::unusable;
}
