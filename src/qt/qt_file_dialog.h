#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "platform/ui_controls.h"

namespace quorvane {

// The standard open and save dialogs (QFileDialog), modal over their owner. The save dialog
// asks before it replaces an existing file.
class QtFileDialog final : public IFileDialog {
  public:
    explicit QtFileDialog(QWidget* owner = nullptr) : owner_(owner) {}

    std::string OpenFileName(const std::string& title, const std::string& folder,
                             const std::string& filter) override;
    std::string SaveFileName(const std::string& title, const std::string& folder,
                             const std::string& filter, const std::string& defaultSuffix) override;

  private:
    QPointer<QWidget> owner_;
};

}  // namespace quorvane
