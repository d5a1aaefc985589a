#pragma once

#include <QString>
#include <string>

namespace quorvane {

// The logic's texts are UTF-8 byte strings with CR LF line breaks; Qt wants QString with LF.
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);

// Turns every CR LF, and any lone CR, into the LF that Qt's text widgets break lines on.
QString ToQtLines(const std::string& text);

}  // namespace quorvane
