// A gadget that writes down every call the engine makes on it, for the gadget and loop tests.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/Gadget.h"

class Recorder : public Gadget {
public:
    explicit Recorder(std::string name, std::vector<std::string>* log, float x = 0, float y = 0, float w = 100, float h = 100)
        : mLabel(std::move(name)), mLog(log) {
        SetRect(x, y, w, h);
        ++sAlive;
    }
    ~Recorder() override {
        --sAlive;
        Note("destroyed");
    }

    void Note(const std::string& what) {
        if (mLog) mLog->push_back(mLabel + " " + what);
    }
    static std::string At(const char* what, float x, float y) {
        char text[96];
        std::snprintf(text, sizeof(text), "%s %g,%g", what, x, y);
        return text;
    }

    void Initialize() override { Note("init"); }
    void Update() override {
        Note("update");
        if (onUpdate) onUpdate(*this);
    }
    void Draw() override { Note("draw"); }
    void MouseMove(float x, float y) override { Note(At("move", x, y)); }
    void MouseDown(float x, float y, int b) override { Note(At("down", x, y) + " b" + std::to_string(b)); }
    void MouseDoubleClick(float x, float y, int b) override { Note(At("double", x, y) + " b" + std::to_string(b)); }
    void MouseUp(float x, float y, int b) override { Note(At("up", x, y) + " b" + std::to_string(b)); }
    void StartDrag(float x, float y) override {
        Note(At("startdrag", x, y));
        if (refuseDrag) CancelDrag();
    }
    void Drag(float x, float y) override { Note(At("drag", x, y)); }
    void FinishDrag(float x, float y) override { Note(At("finishdrag", x, y)); }
    void MouseEnter() override { Note("enter"); }
    void MouseLeave() override { Note("leave"); }
    void KeyDown(int key) override { Note("key " + std::to_string(key)); }
    void KeyUp(int key) override { Note("keyup " + std::to_string(key)); }
    void Char(int c) override { Note("char " + std::to_string(c)); }
    void Notify(intptr_t message) override { Note("notify " + std::to_string(message)); }

    std::string mLabel;
    std::vector<std::string>* mLog;
    bool refuseDrag = false;
    std::function<void(Recorder&)> onUpdate;
    static inline int sAlive = 0;
};

// Entries of `log` that start with `prefix`, in order.
inline std::vector<std::string> Only(const std::vector<std::string>& log, const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& line : log)
        if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
}
