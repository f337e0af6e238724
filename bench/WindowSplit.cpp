// B2: the split driven through the real main window on Qt's offscreen platform: the file is
// chosen with Select A File To Split, the size with its radio button (or Customize and a list
// entry), and Create Split Files is clicked. Reports the time of the click's handler and the
// longest interval, from the click to the completion message, between two calls that let window
// events run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <sys/resource.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "BenchPrompts.h"
#include "MessageGaps.h"
#include "ui/TFrmsplit.h"

namespace {

[[noreturn]] void fail(const QString& message) {
    std::fprintf(stderr, "bench_window_split: %s\n", qPrintable(message));
    std::exit(1);
}

template <typename Control> Control* control(QWidget& window, const char* name) {
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    if (!found)
        fail(QStringLiteral("the window has no control %1").arg(QString::fromLatin1(name)));
    return found;
}

void click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// choice is a preset's object name (Rad95Meg) or an entry of the customize list (5120k).
void chooseSize(QWidget& window, const QString& choice) {
    if (auto* preset = window.findChild<QRadioButton*>(choice)) {
        click(preset);
        return;
    }
    auto* list = control<QListWidget>(window, "ListBox1");
    const auto entries = list->findItems(choice, Qt::MatchExactly);
    if (entries.isEmpty())
        fail(QStringLiteral("%1 is neither a preset nor a customize-list entry").arg(choice));
    click(control<QRadioButton>(window, "Radcust"));
    list->scrollToItem(entries.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(entries.first()).center());
}

// How often the scheduler took the processor from this thread: a long interval on a busy machine
// can be a wait for the processor rather than the window's own work.
long involuntarySwitches() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nivcsw;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_window_split SOURCE SIZE\n"
                             "  SIZE: a preset's object name (Rad95Meg) or a customize-list entry "
                             "(5120k)\n");
        return 2;
    }
    // The window keeps its settings in a folder of its own, never in the user's.
    QTemporaryDir configFolder;
    if (!configFolder.isValid())
        fail(QStringLiteral("cannot create a temporary configuration folder"));
    setenv("XDG_CONFIG_HOME", QFile::encodeName(configFolder.path()).constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanto"));
    if (!MessageGaps::dispatcherAnnouncesCalls())
        fail(QStringLiteral("the event dispatcher does not announce each processEvents() call"));

    BenchPrompts prompts(QFile::decodeName(argv[1]));
    TFrmsplit window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        fail(QStringLiteral("the window was never shown"));
    click(control<QPushButton>(window, "Cmdselect"));
    chooseSize(window, QString::fromLocal8Bit(argv[2]));
    QApplication::processEvents();

    MessageGaps gaps;
    using Clock = std::chrono::steady_clock;
    Clock::time_point completed;
    prompts.onCompletion = [&] {
        gaps.stop();
        completed = Clock::now();
    };
    const auto started = Clock::now();
    const std::clock_t cpuStarted = std::clock();
    const long switchesStarted = involuntarySwitches();
    gaps.start();
    click(control<QPushButton>(window, "Cmdcreate"));
    const std::clock_t cpuReturned = std::clock();
    const long switches = involuntarySwitches() - switchesStarted;
    const auto returned = Clock::now();
    const std::chrono::duration<double> elapsed = returned - started;
    const std::chrono::duration<double, std::milli> afterCompletion = returned - completed;

    for (const QString& failure : prompts.failures)
        std::fprintf(stderr, "bench_window_split: the window showed: %s\n", qPrintable(failure));
    if (prompts.completion.isEmpty() || !prompts.failures.empty())
        fail(QStringLiteral("the split did not complete"));
    const auto pieces = QRegularExpression(QStringLiteral("There were (\\d+) total files"))
                            .match(prompts.completion)
                            .captured(1);

    std::printf("size_label=%s\n", qPrintable(control<QLabel>(window, "Lblbytes")->text()));
    std::printf("pieces=%s\n", qPrintable(pieces));
    std::printf("split_seconds=%.3f\n", elapsed.count());
    std::printf("split_cpu_seconds=%.3f\n",
                static_cast<double>(cpuReturned - cpuStarted) / CLOCKS_PER_SEC);
    std::printf("message_calls=%lld\n", static_cast<long long>(gaps.calls()));
    std::printf("longest_gap_ms=%.2f\n", gaps.longestMilliseconds());
    std::printf("gaps_over_20_ms=%lld\n", static_cast<long long>(gaps.longIntervals()));
    std::printf("involuntary_switches=%ld\n", switches);
    // The split counter is written after the completion message, outside the measured gaps.
    std::printf("after_completion_ms=%.2f\n", afterCompletion.count());
    return 0;
}
