#pragma once
#include <cstdint>

#include "windows/Platform.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/Timer.h"
#include "windows/AboutBounce.h"

namespace kestrave {

// Product name and version, the maker's line, two links and a picture that bounces when
// clicked.
class AboutWindow : public ui::Form {
  public:
    AboutWindow(Platform& platform, ui::Form& mainWindow);

    ui::Image printerPicture;
    ui::Label titleLabel;
    ui::Label noticeLabel;
    ui::Label freewareLabel;
    ui::Label siteLink;
    ui::Label separatorLabel;
    ui::Label donateLink;
    ui::Timer bounceTimer; // moves the picture every 10 ms while it bounces
    ui::Timer pauseTimer;  // ends the first phase of the bounce after 5 s

    void startBounce();
    void openSite();
    void openDonatePage();
    void bounceTick();
    void endPause();

    // Where the bounce stands: its counters and the picture's top in twips.
    const BounceFields& bounce() const { return fields_; }
    float pictureTop() const { return top_; }

  protected:
    void design() override;
    void onLoad() override;
    void onThemeChanged() override;

  private:
    void showColours();
    void showTextColours();
    void open(const std::wstring& url);

    Platform& p_;
    ui::Form& main_;
    BounceFields fields_;
    float top_ = 360.0f;
};

} // namespace kestrave
