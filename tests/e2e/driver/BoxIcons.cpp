#include "driver/BoxIcons.h"

#include <cstdlib>
#include <vector>

#include "support/ScreenCapture.h"

namespace e2e {

namespace {

// The id the platform's message box gives its icon.
constexpr int kBoxIconId = 0x0440;

using support::CaptureScreen;
using support::ScreenBitmap;

// One of the standard icons drawn over a background colour, in the same pixel layout.
std::vector<DWORD> RenderIcon(LPCSTR iconId, int width, int height, DWORD background) {
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height, background);
    ScreenBitmap bitmap(width, height);
    if (!bitmap.Usable()) return pixels;
    bitmap.Fill(pixels);
    DrawIconEx(bitmap.Dc(), 0, 0, LoadIconA(nullptr, iconId), 0, 0, 0, nullptr, DI_NORMAL);
    return bitmap.Pixels();
}

long long Difference(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    long long sum = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                            static_cast<int>((b[i] >> shift) & 0xFF));
        }
    }
    return sum;
}

}  // namespace

// Which standard icon the box's icon control shows, by comparing its pixels on the screen
// with each standard icon drawn here.
BoxIcon ClassifyIcon(HWND box) {
    HWND icon = GetDlgItem(box, kBoxIconId);
    if (icon == nullptr || !IsWindowVisible(icon)) return BoxIcon::None;
    RECT rect{};
    GetWindowRect(icon, &rect);
    const std::vector<DWORD> shown = CaptureScreen(rect);
    if (shown.empty()) return BoxIcon::Unknown;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    struct Candidate {
        BoxIcon icon;
        LPCSTR id;
    };
    const Candidate candidates[] = {{BoxIcon::Error, IDI_HAND},
                                    {BoxIcon::Warning, IDI_EXCLAMATION},
                                    {BoxIcon::Information, IDI_ASTERISK},
                                    {BoxIcon::Question, IDI_QUESTION}};
    BoxIcon best = BoxIcon::Unknown;
    long long bestDifference = -1;
    for (const Candidate& candidate : candidates) {
        const long long difference =
            Difference(shown, RenderIcon(candidate.id, width, height, shown[0]));
        if (bestDifference < 0 || difference < bestDifference) {
            bestDifference = difference;
            best = candidate.icon;
        }
    }
    // Far from every standard icon: not one of them.
    const long long limit = static_cast<long long>(shown.size()) * 3 * 40;
    return bestDifference <= limit ? best : BoxIcon::Unknown;
}

const char* BoxIconName(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::None:
            return "none";
        case BoxIcon::Error:
            return "error";
        case BoxIcon::Warning:
            return "warning";
        case BoxIcon::Information:
            return "information";
        case BoxIcon::Question:
            return "question";
        case BoxIcon::Unknown:
            break;
    }
    return "unknown";
}

}  // namespace e2e
