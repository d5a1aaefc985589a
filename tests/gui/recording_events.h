#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/main_form.h"

namespace quorvane {

// A stand-in for the main window's logic: records every event as a line of text and consumes
// the item list's keys the way the logic does (Left, Right, Enter, keypad separator).
class RecordingEvents : public IMainFormEvents {
  public:
    virtual ~RecordingEvents() = default;

    std::vector<std::string> log;
    bool consumeArrowsAndEnter = true;
    std::function<void()> onLoad;
    std::function<void()> onResize;
    std::function<void()> onGotFocus;

    bool lboConsole_KeyDown(std::int16_t keyCode, std::int16_t shift) override {
        Add("lboConsole_KeyDown", keyCode, shift);
        return consumeArrowsAndEnter && (keyCode == vbKeyLeft || keyCode == vbKeyRight ||
                                         keyCode == vbKeyReturn || keyCode == vbKeySeparator);
    }
    void lboConsole_GotFocus() override {
        log.emplace_back("lboConsole_GotFocus");
        if (onGotFocus) {
            onGotFocus();
        }
    }
    void Form_KeyDown(std::int16_t keyCode, std::int16_t shift) override {
        Add("Form_KeyDown", keyCode, shift);
    }
    void cmd00_Click(std::int16_t index) override { Add("cmd00_Click", index); }
    void cmd00_KeyPress(std::int16_t index, char keyAscii) override {
        Add("cmd00_KeyPress", index, keyAscii);
    }
    void mnuOptSelCom_Click(std::int16_t index) override { Add("mnuOptSelCom_Click", index); }
    void mnuOptionSelAutoRelease_Click(std::int16_t index) override {
        Add("mnuOptionSelAutoRelease_Click", index);
    }
    void mnuFileExit_Click() override { log.emplace_back("mnuFileExit_Click"); }
    void Form_Load() override {
        log.emplace_back("Form_Load");
        if (onLoad) {
            onLoad();
        }
    }
    void Form_Resize() override {
        log.emplace_back("Form_Resize");
        if (onResize) {
            onResize();
        }
    }
    void Form_QueryUnload() override { log.emplace_back("Form_QueryUnload"); }
    void Form_Unload() override { log.emplace_back("Form_Unload"); }

    std::size_t Count(const std::string& line) const {
        std::size_t n = 0;
        for (const auto& l : log) {
            n += l == line ? 1 : 0;
        }
        return n;
    }

  private:
    void Add(const char* name, int a) {
        log.push_back(std::string(name) + " " + std::to_string(a));
    }
    void Add(const char* name, int a, int b) {
        log.push_back(std::string(name) + " " + std::to_string(a) + " " + std::to_string(b));
    }
};

}  // namespace quorvane
