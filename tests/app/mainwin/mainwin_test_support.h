#pragma once
// Shared set-up of the main window's tests: the application, document and
// model state at their start-up values, prompts answered by the test, a busy
// window that only counts, and a window stand-in that records what the
// commands showed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/document_commands.h"
#include "app/menu_state.h"
#include "model/busy_window.h"
#include "platform/scripted_prompts.h"
#include "tests/core/core_test_support.h"

// The kept sample files (samples/ of the source tree), ending in "/".
std::string SamplesFolder();
// The program's data folder of the build tree (crosstie objects, help pages), ending in "/".
std::string DataFolder();
std::vector<uint8_t> FileBytes(const std::string& path);

class CountingBusyWindow final : public BuildProgress {
public:
    int Shows = 0;
    int Unloads = 0;
    std::vector<std::string> Stages;
    std::function<void()> OnMarker;  // runs at every marker step (events delivered mid-build)
    void Show() override { ++Shows; }
    void UpdateInfo(const std::string& text) override { Stages.push_back(text); }
    void UpdateMarker() override {
        if (OnMarker) OnMarker();
    }
    void ForceUnload() override { ++Unloads; }
};

// What the commands showed: one line per call, in order.
class RecordingView final : public MainWindowView {
public:
    std::string Caption;
    MenuState Menus;
    bool SaveEnabled = false;
    int ToolBarFills = 0;
    int16_t ToolBarKind = 0;  // gDocumentType at the last fill
    int Renders = 0;
    std::vector<std::string> Calls;

    void SetCaption(const std::string& caption) override {
        Caption = caption;
        Calls.push_back("caption:" + caption);
    }
    void ApplyMenuState(const MenuState& state) override {
        Menus = state;
        Calls.push_back("menus");
    }
    void SetSaveEnabled(bool enabled) override {
        SaveEnabled = enabled;
        Calls.push_back(enabled ? "save:on" : "save:off");
    }
    void SetupToolToolbar() override;
    void RenderScene() override {
        ++Renders;
        Calls.push_back("render");
    }
    void* DialogOwner() override { return nullptr; }
    void ShowNote(const std::string& text) override { Calls.push_back("note:" + text); }
    void WhenDrawn(std::function<void()> work) override { work(); }
};

// Resets the program-wide state before and after each test.
class MainWindowTest : public AppStateTest {
protected:
    void SetUp() override;
    void TearDown() override;

    ScriptedPrompts prompts;
    CountingBusyWindow busy;
    RecordingView view;
    TempFolder temp;
};

// Texts of the messages shown so far, as "title|text".
std::vector<std::string> MessageTexts(const ScriptedPrompts& prompts);
