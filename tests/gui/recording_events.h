#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/main_form.h"

namespace quorvane {

// Stands in for the main window's logic: records every event as a line such as
// "Form_KeyDown 39 1" and consumes Left, Right, Enter and the keypad separator on the list.
struct RecordingEvents : IMainFormEvents {
    virtual ~RecordingEvents() = default;
    std::vector<std::string> log;
    bool consumeKeys = true;
    std::function<void()> onLoad;

    void Add(std::string line, int a = -1, int b = -1) {
        for (int n : {a, b}) {
            line += n >= 0 ? " " + std::to_string(n) : "";
        }
        log.push_back(line);
    }
    bool lboConsole_KeyDown(std::int16_t key, std::int16_t shift) override {
        Add("lboConsole_KeyDown", key, shift);
        return consumeKeys && (key == vbKeyLeft || key == vbKeyRight || key == vbKeyReturn ||
                               key == vbKeySeparator);
    }
    void lboConsole_GotFocus() override { Add("lboConsole_GotFocus"); }
    void Form_KeyDown(std::int16_t key, std::int16_t shift) override {
        Add("Form_KeyDown", key, shift);
    }
    void cmd00_Click(std::int16_t i) override { Add("cmd00_Click", i); }
    void cmd00_KeyPress(std::int16_t i, char c) override { Add("cmd00_KeyPress", i, c); }
    void mnuOptSelCom_Click(std::int16_t i) override { Add("mnuOptSelCom_Click", i); }
    void mnuOptionSelAutoRelease_Click(std::int16_t i) override { Add("AutoRelease_Click", i); }
    void mnuFileExit_Click() override { Add("mnuFileExit_Click"); }
    void Form_Load() override {
        Add("Form_Load");
        if (onLoad) {
            onLoad();
        }
    }
    void Form_Resize() override { Add("Form_Resize"); }
    void Form_QueryUnload() override { Add("Form_QueryUnload"); }
    void Form_Unload() override { Add("Form_Unload"); }
};

}  // namespace quorvane
