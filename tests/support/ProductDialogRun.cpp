#include "support/ProductDialogRun.h"

#include "protocol/HandoffProtocol.h"
#include "support/ArticleCatalogFile.h"
#include "support/Text.h"
#include "support/WaitFor.h"
#include "util/WideText.h"

namespace support {

namespace {

constexpr UINT kRunOnDialogThread = WM_APP + 1;

class TestApp : public Application {
  public:
    bool InitInstance() override { return false; }
};

TestApp testApp;

}  // namespace

Application& TestApplication() {
    return testApp;
}

DEFINE_MESSAGE_TABLE(ProductDialogProbe, ProductSelectDialog,
                     OnMessageEntry(kRunOnDialogThread, &ProductDialogProbe::OnRun))

void ProductDialogProbe::Run(const std::function<void()>& fn) {
    SendMessageA(Handle(), kRunOnDialogThread, 0, reinterpret_cast<LPARAM>(&fn));
}

LRESULT ProductDialogProbe::OnRun(WPARAM, LPARAM fn) {
    (*reinterpret_cast<const std::function<void()>*>(fn))();
    return 0;
}

void ProductDialogProbe::EnterLocalizationPage(
    const std::vector<std::pair<std::string, std::string>>& items) {
    for (const auto& [name, number] : items) InsertLocalization(WideFromCp1251(name), number);
    ShowLocalizationPage();
}

bool WriteCatalogBesideProgram(const std::map<std::string, std::string>& articles) {
    return WriteArticleCatalog(BesideProgram(catalogFileName), articles);
}

ProductDialogRun::~ProductDialogRun() {
    if (dialog.Handle() != nullptr) PostMessageA(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
    if (modal.joinable()) modal.join();
}

bool ProductDialogRun::Start() {
    modal = std::thread([this] { result = dialog.DoModal(); });
    return WaitFor(
        [this] { return dialog.Handle() != nullptr && IsWindowVisible(dialog.Handle()); });
}

INT_PTR ProductDialogRun::Cancel() {
    if (dialog.Handle() != nullptr) PostMessageA(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
    return Join();
}

bool ProductDialogRun::WaitEnd() {
    if (!WaitFor([this] { return dialog.Handle() == nullptr; })) return false;
    Join();
    return true;
}

INT_PTR ProductDialogRun::Join() {
    if (modal.joinable()) modal.join();
    return result;
}

}  // namespace support
