#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "qt/qt_program.h"

class QPixmap;
class QWidget;

namespace quorvane {

// The technician's main job, played on the real window against a transceiver on COM port
// of the settings file: Connect and the clone read, a value change, a BPF T1 sweep watched in
// the window of curves, an RX LVA adjustment, the parameter dump, the File menu, the saving of
// the image and of the service record (into the output directory as service-record.txt,
// .csv and .html) and, when asked, the error box of a port whose transceiver is not fit
// followed by the saved image opened without a transceiver. A screenshot of every stage goes
// into the output directory; progress goes to the log.
class Walkthrough {
  public:
    Walkthrough(QtProgram& program, QString outputDirectory, std::FILE* log);

    // errorPort: a COM port (1 to 4) whose Connect ends in an error box; 0 for none.
    // False, after saying why, when a stage does not finish in time.
    bool Run(int errorPort);

  private:
    bool Title();
    bool ConnectAndRead();
    bool ChangeValue();
    bool Sweep();
    bool Lva();
    bool ParameterDump();
    bool FileMenuAndSave();
    bool SaveRecord();
    bool ErrorBox(int errorPort);
    bool OpenImage();
    void Exit();

    bool WaitUntil(const std::function<bool()>& done, int timeoutMs, const char* what);
    void Shot(const char* file, const char* what);
    void ShotWithBox(QWidget* box, const char* file, const char* what);
    void ShotOf(QWidget& widget, const char* file, const char* what);
    void Save(const QPixmap& shot, const char* file, const char* what);
    void Say(const char* format, ...);

    void Click(const char* name);
    void Trigger(const char* name);
    // Triggers the menu item and answers the file dialog it opens with path.
    void TriggerWithFile(const char* name, const QString& path);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // The console line whose text starts with title; -1 when there is none.
    int Line(const std::string& title) const;
    void Select(int line);
    bool Settled() const;

    QtProgram& program_;
    QString out_;
    std::FILE* log_;
    int shots_ = 0;
    QElapsedTimer clock_;
    QTemporaryDir files_;
    QString savedImage_;
};

}  // namespace quorvane
