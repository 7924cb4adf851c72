#pragma once
#include <array>
#include <cstdint>

#include "about/Bounce.h"
#include "platform/Platform.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/Timer.h"

namespace kestrave {

class FrmAbout : public ui::Form {
  public:
    FrmAbout(Platform& platform, ui::Form& mainWindow);

    ui::Image Image1;
    std::array<ui::Label, 6> Label1;
    ui::Timer Timer1;
    ui::Timer Timer2;

    void Image1_Click();
    void Label1_Click(std::int16_t index);
    void Label1_MouseMove(std::int16_t index);
    void Timer1_Timer();
    void Timer2_Timer();

    const BounceFields& fields() const { return fields_; }
    float pictureTop() const { return top_; }

  protected:
    void design() override;
    void Form_Load() override;

  private:
    Platform& p_;
    ui::Form& main_;
    BounceFields fields_;
    float top_ = 360.0f;
    std::uintptr_t HandCursor = 0; // kept across loads
};

} // namespace kestrave
