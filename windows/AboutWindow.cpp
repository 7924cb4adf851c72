#include "windows/AboutWindow.h"
#include "core/text/TextFormat.h"
#include "windows/LanguageFonts.h"

#include <cmath>
#include <string>

#include "resources/ResourceIds.h"
#include "resources/StringIds.h"
#include "platform/SystemError.h"
#include "windows/MakerInfo.h"

namespace kestrave {

namespace {
constexpr int kPictureTop = 360;
constexpr int kLinkGap = 80;       // twips between the labels of the link line
constexpr int kNoticeMargin = 120; // twips kept free right of the notice
} // namespace

AboutWindow::AboutWindow(Platform& platform, ui::Form& mainWindow)
    : Form(platform.ui, L"AboutWindow"), printerPicture(*this, L"printerPicture"),
      titleLabel(*this, L"titleLabel"), noticeLabel(*this, L"noticeLabel"),
      freewareLabel(*this, L"freewareLabel"), siteLink(*this, L"siteLink"),
      separatorLabel(*this, L"separatorLabel"), donateLink(*this, L"donateLink"),
      bounceTimer(*this, L"bounceTimer"), pauseTimer(*this, L"pauseTimer"), p_(platform),
      main_(mainWindow) {
    printerPicture.onClick = [this] { startBounce(); };
    siteLink.onClick = [this] { openSite(); };
    donateLink.onClick = [this] { openDonatePage(); };
    siteLink.onMouseMove = [this] { p_.ui.showHandCursor(); };
    donateLink.onMouseMove = [this] { p_.ui.showHandCursor(); };
    bounceTimer.onTick = [this] { fire([this] { bounceTick(); }); };
    pauseTimer.onTick = [this] { fire([this] { endPause(); }); };
}

void AboutWindow::design() {
    setCaption(p_.strings.text(IDS_ABOUT_CAPTION));
    setClientSize({7305, 1980});
    setStartPosition(ui::StartPosition::CenterOwner);
    setIcon(0);
    setClosesOnEscape(true);
    setBackColor(ui::Color::system(ui::syscolor::kBtnFace));

    printerPicture.setBounds({240, kPictureTop, 960, 960});
    printerPicture.setPicture(IDB_ABOUT_PRINTER);
    top_ = static_cast<float>(kPictureTop);

    struct LabelDesign {
        ui::Label& label;
        ui::TwipRect bounds;
        double points;
        std::wstring caption;
        bool link;
        std::wstring tip;
    };
    const LabelDesign designs[] = {
        {titleLabel, {1440, 240, 1950, 375}, 14.25, L"Kestrave", false, L""},
        {noticeLabel, {1440, 720, 4410, 315}, 12, p_.strings.text(IDS_ABOUT_NOTICE), false, L""},
        {freewareLabel,
         {1440, 1200, 960, 300},
         10.5,
         p_.strings.text(IDS_ABOUT_FREEWARE),
         false,
         L""},
        {siteLink, {2595, 1200, 840, 300}, 10.5, maker::kSiteName, true, maker::kSiteUrl},
        {separatorLabel, {3900, 1200, 60, 300}, 10.5, L"|", false, L""},
        {donateLink,
         {4050, 1200, 840, 300},
         10.5,
         p_.strings.text(IDS_ABOUT_DONATE),
         true,
         p_.strings.text(IDS_ABOUT_DONATE_TIP)},
    };
    for (const LabelDesign& d : designs) {
        d.label.setBounds(d.bounds);
        d.label.setBackOpaque(false);
        d.label.setFont(fontFor(p_.strings, lang::Role::DialogText, d.points, false, d.link));
        d.label.setCaption(d.caption);
        d.label.setToolTip(d.tip);
        d.label.setAutoSize(true);
        // A link is reached with Tab and opened with Enter or Space, as a click opens it.
        d.label.setAccessibleRole(d.link ? ui::AccessibleRole::Link : ui::AccessibleRole::None);
        d.label.setAccessibleAction(d.link ? p_.strings.text(IDS_ACC_OPEN_LINK) : L"");
    }
    siteLink.setTabIndex(0);
    donateLink.setTabIndex(1);
    printerPicture.setAccessibleRole(ui::AccessibleRole::Graphic);
    printerPicture.setAccessibleName(p_.strings.text(IDS_ACC_PRINTER_PICTURE));
    showTextColours();

    bounceTimer.setInterval(10);
    bounceTimer.setEnabled(false);
    pauseTimer.setInterval(5000);
    pauseTimer.setEnabled(false);
}

void AboutWindow::onLoad() {
    fields_.speed = 20;
    fields_.ticks = 0;
    fields_.accel = 10;
    setIcon(main_.icon());
    showColours();
    const ui::AppVersion v = p_.ui.appVersion();
    titleLabel.setCaption(v.productName + L" " + decimal(v.major) + L"." +
                          decimal(v.minor) + L"." + decimal(v.revision));
    // A notice too wide for the window in this language (and this system's fonts, with a
    // tenth to spare) is shown smaller rather than cut off.
    const int room = clientSize().width - noticeLabel.left() - kNoticeMargin;
    for (const double points : {12.0, 10.5, 9.0}) {
        noticeLabel.setFont(fontFor(p_.strings, lang::Role::DialogText, points));
        if (noticeLabel.width() * 11 <= room * 10) {
            break;
        }
    }
    // The link line follows the widths its texts really have.
    siteLink.setLeft(freewareLabel.left() + freewareLabel.width() + kLinkGap);
    separatorLabel.setLeft(siteLink.left() + siteLink.width() + kLinkGap);
    donateLink.setLeft(separatorLabel.left() + separatorLabel.width() + kLinkGap);
}

void AboutWindow::showColours() {
    // In high contrast every colour is the theme's: links in its hot-light colour, the rest
    // in its button pair; otherwise the design's light grey behind the system's texts.
    setBackColor(p_.ui.highContrast() ? ui::Color::system(ui::syscolor::kBtnFace)
                                      : ui::Color::rgb(0xF0F0F0));
    showTextColours();
}

void AboutWindow::showTextColours() {
    const bool contrast = p_.ui.highContrast();
    using namespace ui::syscolor;
    for (ui::Label* label : {&titleLabel, &noticeLabel, &freewareLabel, &separatorLabel}) {
        label->setForeColor(ui::Color::system(kBtnText));
    }
    for (ui::Label* link : {&siteLink, &donateLink}) {
        link->setForeColor(ui::Color::system(contrast ? kHotLight : kHighlight));
    }
}

void AboutWindow::onThemeChanged() {
    showColours();
}

void AboutWindow::open(const std::wstring& url) {
    const std::uint32_t code = p_.shell.openUrl(url);
    if (code == err::kNoDesktopUser) {
        p_.ui.messageBox(p_.strings.text(IDS_LINK_TO_COPY) + L"\n\n" + url,
                         p_.strings.text(IDS_APP_NAME), ui::msgbox::kIconInformation);
    } else if (code != 0) {
        p_.ui.messageBox(p_.strings.text(IDS_BROWSER_ERROR),
                         p_.strings.text(IDS_BROWSER_ERROR_TITLE), ui::msgbox::kIconError);
    }
}

void AboutWindow::openSite() {
    open(maker::kSiteUrl);
}

void AboutWindow::openDonatePage() {
    open(maker::kDonateUrl);
}

void AboutWindow::startBounce() {
    if (fields_.ticks == -1) {
        return;
    }
    fields_.ticks = 25;
    bounceTimer.setEnabled(true);
    pauseTimer.setEnabled(true);
}

void AboutWindow::endPause() {
    fields_.ticks = 500;
    pauseTimer.setEnabled(false);
}

void AboutWindow::bounceTick() {
    const BounceTick t = bounceStep(fields_, top_, printerPicture.height(), clientSize().height);
    if (t.stop) {
        bounceTimer.setEnabled(false);
    }
    if (t.beep) {
        p_.ui.beep();
    }
    printerPicture.setTop(static_cast<int>(std::lround(top_)));
}

} // namespace kestrave
