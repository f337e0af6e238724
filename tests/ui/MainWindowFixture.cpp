#include "MainWindowFixture.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QTest>

#include "ui/NativeText.h"

MainWindow& MainWindowTest::openWindow() {
    m_window = std::make_unique<MainWindow>(m_settings);
    m_window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    return *m_window;
}

void MainWindowTest::click(const char* buttonName) {
    QTest::mouseClick(&control<QAbstractButton>(buttonName), Qt::LeftButton);
}

void MainWindowTest::chooseFile(const std::string& path) {
    m_prompts.fileAnswers.push_back(fromNative(path));
    click("selectButton");
}

void MainWindowTest::clickListEntry(int row) {
    auto& list = control<QListWidget>("customizeList");
    QListWidgetItem* entry = list.item(row);
    list.scrollToItem(entry);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(entry).center());
}

std::vector<QString> MainWindowTest::shown(const char* kind) const {
    std::vector<QString> texts;
    for (const FakePrompts::Shown& box : m_prompts.shown) {
        if (box.kind == QLatin1String(kind))
            texts.push_back(box.text);
    }
    return texts;
}
