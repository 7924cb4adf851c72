#include "about/FrmAbout.h"

#include <cmath>
#include <string>

#include "about/MakerInfo.h"
#include "resources/ResourceIds.h"
#include "sysutil/ModOpenUrl.h"

namespace kestrave {

namespace {
constexpr std::uintptr_t kIdcHand = 32649;
constexpr unsigned kMbOk = 0;
constexpr int kPictureTop = 360;
} // namespace

FrmAbout::FrmAbout(Platform& platform, ui::Form& mainWindow)
    : Form(platform.ui, L"FrmAbout"), Image1(*this, L"Image1"),
      Label1{{ui::Label(*this, L"Label1", 0), ui::Label(*this, L"Label1", 1),
              ui::Label(*this, L"Label1", 2), ui::Label(*this, L"Label1", 3),
              ui::Label(*this, L"Label1", 4), ui::Label(*this, L"Label1", 5)}},
      Timer1(*this, L"Timer1"), Timer2(*this, L"Timer2"), p_(platform), main_(mainWindow) {
    Image1.onClick = [this] { Image1_Click(); };
    for (ui::Label& label : Label1) {
        const auto index = static_cast<std::int16_t>(label.index());
        label.onClick = [this, index] { Label1_Click(index); };
        label.onMouseMove = [this, index] { Label1_MouseMove(index); };
    }
    Timer1.onTick = [this] { fire([this] { Timer1_Timer(); }); };
    Timer2.onTick = [this] { fire([this] { Timer2_Timer(); }); };
}

void FrmAbout::design() {
    setCaption(L"关于 Kestrave");
    setClientSize({7305, 1980});
    setStartPosition(ui::StartPosition::CenterOwner);
    setIcon(0);
    setBackColor(ui::Color::system(ui::syscolor::kBtnFace));

    Image1.setBounds({240, kPictureTop, 960, 960});
    Image1.setPicture(IDB_ABOUT_PRINTER);
    top_ = static_cast<float>(kPictureTop);

    struct LabelDesign {
        ui::TwipRect bounds;
        double points;
        std::wstring caption;
        bool link;
        std::wstring tip;
    };
    const LabelDesign designs[6] = {
        {{1440, 240, 1950, 375}, 14.25, L"Kestrave", false, L""},
        {{1440, 720, 4410, 315}, 12, maker::kNotice, false, L""},
        {{1440, 1200, 960, 300}, 10.5, L"免费软件 |", false, L""},
        {{2595, 1200, 840, 300}, 10.5, maker::kSiteName, true, maker::kSiteUrl},
        {{3900, 1200, 60, 300}, 10.5, L"|", false, L""},
        {{4050, 1200, 840, 300}, 10.5, L"赞助我们", true, maker::kDonateTip},
    };
    for (std::size_t i = 0; i < 6; ++i) {
        ui::Label& label = Label1[i];
        const LabelDesign& d = designs[i];
        label.setBounds(d.bounds);
        label.setBackOpaque(false);
        label.setForeColor(d.link ? ui::Color::system(ui::syscolor::kHighlight)
                                  : ui::Color::system(ui::syscolor::kBtnText));
        label.setFont({L"微软雅黑", d.points, false, d.link});
        label.setCaption(d.caption);
        label.setToolTip(d.tip);
        label.setAutoSize(true);
    }

    Timer1.setInterval(10);
    Timer1.setEnabled(false);
    Timer2.setInterval(5000);
    Timer2.setEnabled(false);
}

void FrmAbout::Form_Load() {
    fields_.speed = 20;
    fields_.ticks = 0;
    fields_.accel = 10;
    setIcon(main_.icon());
    setBackColor(ui::Color::rgb(0xF0F0F0));
    const ui::AppVersion v = p_.ui.appVersion();
    Label1[0].setCaption(v.productName + L" " + std::to_wstring(v.major) + L"." +
                         std::to_wstring(v.minor) + L"." + std::to_wstring(v.revision));
    Label1[3].setLeft(Label1[2].left() + Label1[2].width() + 80);
    Label1[4].setLeft(Label1[3].left() + Label1[3].width() + 80);
    Label1[5].setLeft(Label1[4].left() + Label1[4].width() + 80);
}

void FrmAbout::Label1_Click(std::int16_t index) {
    if (index == 3) {
        ModOpenUrl(p_.shell, p_.ansi, p_.ui).OpenUrl(maker::kSiteUrl);
    } else if (index == 5) {
        ModOpenUrl(p_.shell, p_.ansi, p_.ui).OpenUrl(maker::kDonateUrl);
    }
}

void FrmAbout::Label1_MouseMove(std::int16_t index) {
    if (index != 3 && index != 5) {
        return;
    }
    if (HandCursor == 0) {
        HandCursor = p_.ui.LoadCursorA(0, kIdcHand);
    }
    p_.ui.SetCursor(HandCursor);
}

void FrmAbout::Image1_Click() {
    if (fields_.ticks == -1) {
        return;
    }
    fields_.ticks = 25;
    Timer1.setEnabled(true);
    Timer2.setEnabled(true);
}

void FrmAbout::Timer2_Timer() {
    fields_.ticks = 500;
    Timer2.setEnabled(false);
}

void FrmAbout::Timer1_Timer() {
    const BounceTick t = bounceStep(fields_, top_, Image1.height(), clientSize().height);
    if (t.stop) {
        Timer1.setEnabled(false);
    }
    if (t.beep) {
        p_.ui.MessageBeep(kMbOk);
    }
    Image1.setTop(static_cast<int>(std::lround(top_)));
}

} // namespace kestrave
