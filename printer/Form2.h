#pragma once
#include "platform/Platform.h"
#include "printer/CurrentPrinter.h"
#include "ui/Control.h"
#include "ui/Form.h"

namespace kestrave {

// The default printer dialog.
class Form2 : public ui::Form {
  public:
    Form2(Platform& platform, CurrentPrinter& printer, ui::Form& mainWindow);

    ui::ComboBox Combo1;
    ui::CommandButton Command1;

    void Command1_Click();

  protected:
    void design() override;
    void Form_Load() override;

  private:
    Platform& p_;
    CurrentPrinter& printer_;
    ui::Form& main_;
};

} // namespace kestrave
