#include "qt/qt_port_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "qt/qt_text.h"

namespace quorvane {

namespace {

constexpr int kPollMs = 1000;

// What the poll compares: the ports and their names, nothing that needs opening a device.
std::vector<std::string> PresentNames(const std::vector<SerialPortEntry>& ports) {
    std::vector<std::string> names;
    for (const SerialPortEntry& p : ports) {
        names.push_back(p.device + '\n' + p.byId + '\n' + p.byPath);
    }
    return names;
}

QStringList ToQStringList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) {
        list.append(ToQString(text));
    }
    return list;
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) {
        return false;
    }
    const QString ca = QFileInfo(ToQString(a)).canonicalFilePath();
    return a == b || (!ca.isEmpty() && ca == QFileInfo(ToQString(b)).canonicalFilePath());
}

}  // namespace

QtPortDialog::QtPortDialog(IPortEnumeration& ports, int portNo, const std::string& current,
                           QWidget* parent)
    : QDialog(parent), ports_(&ports), current_(current) {
    setWindowTitle(QStringLiteral("Serial device for COM %1").arg(portNo));
    auto* layout = new QVBoxLayout(this);
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("heading"));
    layout->addWidget(heading_);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("ports"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels(ToQStringList(PortColumns()));
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(list_);
    details_ = new QLabel(this);
    details_->setObjectName(QStringLiteral("details"));
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(details_);

    auto* pathLabel = new QLabel(QStringLiteral("COM %1 &opens:").arg(portNo), this);
    path_ = new QLineEdit(ToQString(current), this);
    path_->setObjectName(QStringLiteral("path"));
    pathLabel->setBuddy(path_);
    pathAccess_ = new QLabel(this);
    pathAccess_->setObjectName(QStringLiteral("pathAccess"));
    layout->addWidget(pathLabel);
    layout->addWidget(path_);
    layout->addWidget(pathAccess_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* refresh =
        buttons->addButton(QStringLiteral("&Refresh"), QDialogButtonBox::ActionRole);
    refresh->setObjectName(QStringLiteral("refresh"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(refresh, &QPushButton::clicked, this, [this] { Refresh(); });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        const int row = item != nullptr ? list_->indexOfTopLevelItem(item) : -1;
        if (row >= 0 && static_cast<std::size_t>(row) < rows_.size()) {
            path_->setText(ToQString(rows_[static_cast<std::size_t>(row)].mapName));
        }
        ShowDetails(row);
    });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(path_, &QLineEdit::textChanged, this, [this] { ShowAccessOfPath(); });
    connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });

    Refresh();
    ShowAccessOfPath();
    poll_.start(kPollMs);
    resize(1200, 400);
}

std::string QtPortDialog::Chosen() const {
    return FromQString(path_->text().trimmed());
}

void QtPortDialog::Refresh() {
    Fill(ports_->Ports(true));
}

void QtPortDialog::Poll() {
    if (PresentNames(ports_->Ports(false)) != present_) {
        Refresh();
    }
}

void QtPortDialog::Fill(const std::vector<SerialPortEntry>& ports) {
    present_ = PresentNames(ports);
    rows_ = PortRows(ports);
    const QString typed = path_->text();
    const QSignalBlocker keepTyped(list_);
    list_->clear();
    QTreeWidgetItem* mapped = nullptr;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        auto* item = new QTreeWidgetItem(list_, ToQStringList(PortColumnTexts(rows_[i])));
        item->setToolTip(5, ToQString(rows_[i].access));
        const SerialPortEntry& p = ports[i];
        if (SameFile(current_, p.device) || current_ == p.byId || current_ == p.byPath) {
            mapped = item;
        }
    }
    if (mapped != nullptr) {
        list_->setCurrentItem(mapped);
    }
    ShowDetails(list_->indexOfTopLevelItem(list_->currentItem()));
    path_->setText(typed);
    heading_->setText(rows_.empty() ? QStringLiteral("No serial port found.")
                                    : QStringLiteral("%1 serial port(s) found.").arg(rows_.size()));
}

void QtPortDialog::ShowDetails(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        details_->setText(QStringLiteral("Choose a port, or type the path of a device below."));
        return;
    }
    details_->setText(ToQString(PortDetails(rows_[static_cast<std::size_t>(row)])));
}

void QtPortDialog::ShowAccessOfPath() {
    const std::string path = Chosen();
    if (path.empty()) {
        pathAccess_->setText(QStringLiteral("Empty: the default device."));
        return;
    }
    for (const PortRow& r : rows_) {
        if (path == r.device || path == r.byId || path == r.byPath) {
            pathAccess_->setText(QStringLiteral("May open: ") + ToQString(r.access));
            return;
        }
    }
    pathAccess_->setText(QStringLiteral("May open: ") +
                         ToQString(AccessText(ports_->Access(path))));
}

}  // namespace quorvane
