#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include "settings/Settings.h"
#include "support/TempFolder.h"
#include "ui/FakePrompts.h"
#include "ui/MainWindow.h"

// A main window on the offscreen platform with its own configuration folder, a folder for the
// files a test splits, and prompts that answer without blocking.
class MainWindowTest : public ::testing::Test {
protected:
    // Creates the window (its start-up reads the configuration folder) and shows it.
    MainWindow& openWindow();

    template <class Control> Control& control(const char* name) {
        auto* found = m_window->findChild<Control*>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("no control ") + name);
        return *found;
    }

    void click(const char* buttonName);
    // Answers the open dialog with path and clicks Select A File To Split.
    void chooseFile(const std::string& path);
    // Clicks entry row of the customize list as a user would.
    void clickListEntry(int row);
    // The texts shown in boxes of one kind ("information", "standardError", ...).
    std::vector<QString> shown(const char* kind) const;

    TempFolder m_config;
    // The window's configuration folder, inside m_config so that a test can block its making.
    settings::Settings m_settings{m_config.file("orvanto/")};
    TempFolder m_files;
    FakePrompts m_prompts;
    std::unique_ptr<MainWindow> m_window;
};
