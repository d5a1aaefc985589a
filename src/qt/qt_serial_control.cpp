#include "qt/qt_serial_control.h"

#include <QMetaObject>
#include <algorithm>

namespace quorvane {

namespace {

// Bytes QSerialPort may hold before we drain them; each readyRead drains it, so this only
// bounds memory while a modal dialog keeps the event loop inside a tick.
constexpr qint64 kQtReadBufferLimit = 65536;

QSerialPort::Parity ToQt(char parity) {
    switch (parity) {
        case 'E':
            return QSerialPort::EvenParity;
        case 'O':
            return QSerialPort::OddParity;
        case 'M':
            return QSerialPort::MarkParity;
        case 'S':
            return QSerialPort::SpaceParity;
        default:
            return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits ToQt(LineSettings::StopBits stop) {
    switch (stop) {
        case LineSettings::StopBits::OnePointFive:
            return QSerialPort::OneAndHalfStop;
        case LineSettings::StopBits::Two:
            return QSerialPort::TwoStop;
        default:
            return QSerialPort::OneStop;
    }
}

}  // namespace

QtSerialControl::QtSerialControl(PortPath pathForPort) : pathForPort_(std::move(pathForPort)) {
    port_.setReadBufferSize(kQtReadBufferLimit);
    QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { OnReadyRead(); });
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError e) { OnError(e); });
}

QtSerialControl::~QtSerialControl() {
    sink_ = nullptr;
    QObject::disconnect(&port_, nullptr, &port_, nullptr);
    if (port_.isOpen()) {
        port_.close();
    }
}

bool QtSerialControl::CommPort(std::int16_t portNumber) {
    if (port_.isOpen() || portNumber < 1) {
        return false;
    }
    commPort_ = portNumber;
    return true;
}

bool QtSerialControl::Settings(const std::string& settings) {
    const auto parsed = ParseLineSettings(settings);
    if (!parsed) {
        return false;
    }
    settings_ = *parsed;
    settingsText_ = settings;
    if (port_.isOpen()) {
        ApplyLineSettings();
    }
    return true;
}

void QtSerialControl::ApplyLineSettings() {
    port_.setBaudRate(settings_.baud);
    port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.dataBits));
    port_.setParity(ToQt(settings_.parity));
    port_.setStopBits(ToQt(settings_.stopBits));
    port_.setFlowControl(QSerialPort::NoFlowControl);
}

void QtSerialControl::DTREnable(bool on) {
    dtr_ = on;
    if (port_.isOpen()) {
        port_.setDataTerminalReady(on);
    }
}

void QtSerialControl::RTSEnable(bool on) {
    rts_ = on;
    if (port_.isOpen()) {
        port_.setRequestToSend(on);
    }
}

bool QtSerialControl::PortOpen(bool open) {
    if (open == port_.isOpen()) {
        return true;
    }
    if (!open) {
        // Hand what is still queued to the operating system rather than dropping a frame.
        port_.flush();
        CloseAndForget();
        return true;
    }
    const std::string path = pathForPort_ ? pathForPort_(commPort_) : std::string();
    if (path.empty()) {
        return false;
    }
    port_.setPortName(QString::fromStdString(path));
    ApplyLineSettings();
    if (!port_.open(QIODevice::ReadWrite)) {
        return false;
    }
    openPath_ = path;
    // A pseudo-terminal has no modem lines; failing to set them is no failure of the open.
    port_.setDataTerminalReady(dtr_);
    port_.setRequestToSend(rts_);
    port_.clearError();
    rx_.clear();
    overflowPending_ = txFullPending_ = lostPending_ = false;
    return true;
}

void QtSerialControl::CloseAndForget() {
    port_.close();
    rx_.clear();
    overflowPending_ = txFullPending_ = lostPending_ = false;
}

std::int32_t QtSerialControl::InBufferCount() const {
    return port_.isOpen() ? static_cast<std::int32_t>(rx_.size()) : 0;
}

std::int32_t QtSerialControl::OutBufferCount() const {
    return port_.isOpen() ? static_cast<std::int32_t>(port_.bytesToWrite()) : 0;
}

bool QtSerialControl::ClearOutBuffer() {
    // Bytes already handed over belong to frames the transceiver must get whole (two frames
    // may be sent back to back with a reopen between them), so they are pushed on, never
    // discarded.
    if (port_.isOpen()) {
        port_.flush();
    }
    return true;
}

Bytes QtSerialControl::Input() {
    std::size_t n = rx_.size();
    if (inputLen_ > 0) {
        n = std::min(n, static_cast<std::size_t>(inputLen_));
    }
    Bytes out(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(n));
    rx_.erase(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

bool QtSerialControl::Output(const Bytes& bytes) {
    if (!port_.isOpen()) {
        return false;
    }
    if (port_.bytesToWrite() + static_cast<qint64>(bytes.size()) > outBufferSize_) {
        txFullPending_ = true;
        ScheduleDispatch();
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    return port_.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

void QtSerialControl::OnReadyRead() {
    const QByteArray data = port_.readAll();
    const std::size_t limit = static_cast<std::size_t>(std::max(inBufferSize_, 0));
    const std::size_t room = limit > rx_.size() ? limit - rx_.size() : 0;
    const std::size_t take = std::min(room, static_cast<std::size_t>(data.size()));
    rx_.insert(rx_.end(), data.begin(), data.begin() + static_cast<qsizetype>(take));
    if (take < static_cast<std::size_t>(data.size())) {
        overflowPending_ = true;
    }
    ScheduleDispatch();
}

void QtSerialControl::OnError(QSerialPort::SerialPortError error) {
    if (!port_.isOpen()) {
        return;
    }
    switch (error) {
        // The device is gone or unusable: reading on would fail forever (or spin).
        case QSerialPort::ResourceError:
        case QSerialPort::DeviceNotFoundError:
        case QSerialPort::PermissionError:
        case QSerialPort::ReadError:
            lostPending_ = true;
            ScheduleDispatch();
            break;
        case QSerialPort::WriteError:
            txFullPending_ = true;
            ScheduleDispatch();
            break;
        default:
            break;
    }
}

void QtSerialControl::ScheduleDispatch() {
    if (dispatchScheduled_) {
        return;
    }
    dispatchScheduled_ = true;
    QMetaObject::invokeMethod(
        &port_, [this] { Dispatch(); }, Qt::QueuedConnection);
}

void QtSerialControl::Dispatch() {
    dispatchScheduled_ = false;
    if (lostPending_) {
        CloseAndForget();
        if (sink_ != nullptr) {
            sink_->OnComm(CommEvent::DeviceLost);
        }
        return;
    }
    if (overflowPending_) {
        overflowPending_ = false;
        if (sink_ != nullptr) {
            sink_->OnComm(CommEvent::RxOver);
        }
    }
    if (txFullPending_) {
        txFullPending_ = false;
        if (sink_ != nullptr) {
            sink_->OnComm(CommEvent::TxFull);
        }
    }
    if (sink_ != nullptr && port_.isOpen() && rThreshold_ > 0 &&
        rx_.size() >= static_cast<std::size_t>(rThreshold_)) {
        sink_->OnComm(CommEvent::Receive);
    }
}

}  // namespace quorvane
