#pragma once

#include <QDialog>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/port_enumeration.h"
#include "settings/port_choice.h"

class QLabel;
class QLineEdit;
class QTreeWidget;

namespace quorvane {

// Option > Serial device...: the serial ports present, what each is and whether it can be
// opened, and the device COM port n is to open: a port chosen from the list (stored by its
// persistent name) or a path typed in. The list follows cables plugged in and out while the
// dialog is open: the ports present are looked at every second, without opening any, and
// probed again only when they change (or on Refresh).
class QtPortDialog final : public QDialog {
  public:
    QtPortDialog(IPortEnumeration& ports, int portNo, const std::string& current,
                 QWidget* parent = nullptr);

    // The device the user chose (when accepted): the line edit's text.
    std::string Chosen() const;
    const std::vector<PortRow>& Rows() const { return rows_; }

    // Lists the ports again, probing each; the poll's own look, without probing.
    void Refresh();
    void Poll();

  private:
    void Fill(const std::vector<SerialPortEntry>& ports);
    void ShowAccessOfPath();
    void ShowDetails(int row);

    IPortEnumeration* ports_;
    std::string current_;
    std::vector<PortRow> rows_;
    std::vector<std::string> present_;
    QLabel* heading_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* details_ = nullptr;
    QLineEdit* path_ = nullptr;
    QLabel* pathAccess_ = nullptr;
    QTimer poll_;
};

}  // namespace quorvane
