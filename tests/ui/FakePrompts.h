#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <QString>

#include "ui/Prompts.h"

// Answers every box and dialog of the windows without blocking, and records what was shown.
// Installed for its lifetime.
class FakePrompts final : public Prompts {
public:
    struct Shown {
        QString kind; // "information", "error", "plain", "standardError", "askYesNo"
        QString text;
    };

    FakePrompts() { setPrompts(this); }
    ~FakePrompts() override { setPrompts(nullptr); }

    void information(QWidget*, const QString& text) override { record("information", text); }
    void error(QWidget*, const QString& text) override { record("error", text); }
    void plain(QWidget*, const QString& text) override { record("plain", text); }
    void standardError(QWidget*, const QString& text) override { record("standardError", text); }
    bool askYesNo(QWidget*, const QString& text) override {
        record("askYesNo", text);
        return yesNoAnswer;
    }
    ExistingFileAnswer askAboutExistingFile(QWidget*, const QString& text) override {
        existingFileQuestions.push_back(text);
        if (whileAsking)
            whileAsking();
        if (existingFileAnswers.empty())
            return answer;
        const ExistingFileAnswer next = existingFileAnswers.front();
        existingFileAnswers.pop_front();
        return next;
    }
    std::optional<QString> openFile(QWidget*, const QString& initialFolder) override {
        openFileFolders.push_back(initialFolder);
        return next(fileAnswers);
    }
    std::optional<QString> savePdfFile(QWidget*, const QString& initialPath) override {
        savePdfPaths.push_back(initialPath);
        return next(savePdfAnswers);
    }
    std::optional<QString> chooseFolder(QWidget*, const QString& initialFolder) override {
        chooseFolderFolders.push_back(initialFolder);
        return next(folderAnswers);
    }
    bool openDocument(const QString& path) override {
        openedDocuments.push_back(path);
        return openDocumentAnswer;
    }

    // What the next dialogs answer, in order; an empty queue or an empty text is a cancel.
    std::deque<QString> fileAnswers;
    std::deque<QString> folderAnswers;
    std::deque<QString> savePdfAnswers;
    bool yesNoAnswer = true;
    ExistingFileAnswer answer = ExistingFileAnswer::Cancel; // about a file in the way
    std::deque<ExistingFileAnswer> existingFileAnswers;     // given first, in order
    std::vector<QString> existingFileQuestions;
    // Runs while the question about a file in the way is open, before it is answered.
    std::function<void()> whileAsking;
    bool openDocumentAnswer = true;

    std::vector<Shown> shown;
    std::vector<QString> openFileFolders;
    std::vector<QString> chooseFolderFolders;
    std::vector<QString> savePdfPaths;
    std::vector<QString> openedDocuments;

private:
    void record(const char* kind, const QString& text) {
        shown.push_back({QString::fromLatin1(kind), text});
    }
    static std::optional<QString> next(std::deque<QString>& answers) {
        if (answers.empty())
            return std::nullopt;
        const QString answer = answers.front();
        answers.pop_front();
        if (answer.isEmpty())
            return std::nullopt;
        return answer;
    }
};
