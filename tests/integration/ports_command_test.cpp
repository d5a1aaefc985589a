// quorvane-ports --list as users run it: a line for every serial port the machine has, in the
// order Qt finds them, each with whether it may be opened; or that none was found.
#include <gtest/gtest.h>

#include <QSerialPortInfo>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(PortsCommand, ListPrintsALineForEveryPortFoundOrThatNoneWas) {
    std::FILE* pipe = popen(PORTS_EXE " --list 2>&1 </dev/null", "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    if (ports.isEmpty()) {
        EXPECT_EQ(out, "no serial port found\n");
        return;
    }
    std::vector<std::string> lines;
    std::istringstream text(out);
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(ports.size())) << out;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        const std::string& line = lines[static_cast<std::size_t>(i)];
        EXPECT_EQ(line.rfind(ports[i].systemLocation().toStdString() + "  ", 0), 0u) << line;
        EXPECT_NE(line.find("  may open: "), std::string::npos) << line;
    }
    EXPECT_EQ(out.back(), '\n');
}

}  // namespace
