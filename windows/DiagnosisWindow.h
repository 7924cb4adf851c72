#pragma once
#include "core/diagnosis/Diagnosis.h"
#include "platform/Platform.h"
#include "ui/Control.h"
#include "ui/Form.h"

namespace kestrave {

// The diagnosis report, read-only and scrollable, problems first, with copy and save.
class DiagnosisWindow : public ui::Form {
  public:
    DiagnosisWindow(Platform& platform, ui::Form& mainWindow);

    ui::TextBox reportBox;
    ui::CommandButton copyButton;
    ui::CommandButton saveButton;
    ui::CommandButton closeButton;

    void copy();
    void save();
    const Report& report() const { return report_; }

  protected:
    void design() override;
    void onLoad() override;

  private:
    Platform& p_;
    ui::Form& main_;
    Report report_;
};

} // namespace kestrave
