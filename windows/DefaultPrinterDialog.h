#pragma once
#include "platform/Platform.h"
#include "core/printers/CurrentPrinter.h"
#include "ui/Control.h"
#include "ui/Form.h"

namespace kestrave {

// The default printer dialog.
class DefaultPrinterDialog : public ui::Form {
  public:
    DefaultPrinterDialog(Platform& platform, CurrentPrinter& printer, ui::Form& mainWindow);

    ui::ComboBox printerList;
    ui::CommandButton setButton;

    void setDefault();

  protected:
    void design() override;
    void onLoad() override;

  private:
    Platform& p_;
    CurrentPrinter& printer_;
    ui::Form& main_;
};

} // namespace kestrave
