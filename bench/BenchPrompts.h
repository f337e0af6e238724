#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <QString>

#include "ui/Prompts.h"

// Answers the window's boxes and dialogs at once, so that nothing blocks the measured split:
// the open-file dialog picks the source, every box is kept for the report, and the completion
// message is announced. Installed for its lifetime.
class BenchPrompts final : public Prompts {
public:
    explicit BenchPrompts(QString sourcePath) : m_sourcePath(std::move(sourcePath)) {
        setPrompts(this);
    }
    ~BenchPrompts() override { setPrompts(nullptr); }
    BenchPrompts(const BenchPrompts&) = delete;
    BenchPrompts& operator=(const BenchPrompts&) = delete;

    void information(QWidget*, const QString& text) override {
        if (text.startsWith(QStringLiteral("Finished.")))
            completion = text;
        else
            failures.push_back(text);
        if (onEnd)
            onEnd();
    }
    void error(QWidget*, const QString& text) override { fail(text); }
    void plain(QWidget*, const QString& text) override { fail(text); }
    void standardError(QWidget*, const QString& text) override { fail(text); }
    bool askYesNo(QWidget*, const QString&) override { return true; }
    ExistingFileAnswer askAboutExistingFile(QWidget*, const QString& text) override {
        failures.push_back(text);
        return ExistingFileAnswer::Cancel;
    }
    std::optional<QString> openFile(QWidget*, const QString&) override { return m_sourcePath; }
    std::optional<QString> chooseFolder(QWidget*, const QString&) override { return std::nullopt; }
    std::optional<QString> savePdfFile(QWidget*, const QString&) override { return std::nullopt; }
    bool openDocument(const QString&) override { return false; }

    // Called when the completion message, or any other box, is shown.
    std::function<void()> onEnd;
    QString completion;
    // Every other box: a split that completes shows none.
    std::vector<QString> failures;

private:
    void fail(const QString& text) {
        failures.push_back(text);
        if (onEnd)
            onEnd();
    }

    QString m_sourcePath;
};
