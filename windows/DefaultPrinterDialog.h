#pragma once
#include "core/printers/CurrentPrinter.h"
#include "windows/Platform.h"
#include "ui/Control.h"
#include "ui/Form.h"

namespace kestrave {

// The default printer dialog: pick one of the installed printers and make it the user's
// default. Says whose default it is when the program does not run as the desktop's user, and
// offers to stop Windows from moving the default again where Windows manages it.
class DefaultPrinterDialog : public ui::Form {
  public:
    DefaultPrinterDialog(Platform& platform, CurrentPrinter& printer, ui::Form& mainWindow);

    ui::Label accountLabel; // whose default printer this changes, when not the desktop's user
    ui::ComboBox printerList;
    ui::CommandButton setButton;
    ui::CheckBox keepChoiceBox; // "don't let Windows manage my default printer"
    ui::Label emptyLabel;       // why there is nothing to choose, in place of the list

    void setDefault();

  protected:
    void design() override;
    void onLoad() override;

  private:
    Platform& p_;
    CurrentPrinter& printer_;
    ui::Form& main_;
    bool windowsManages_ = false;
};

} // namespace kestrave
