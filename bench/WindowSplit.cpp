// B2: the split driven through the real main window on Qt's offscreen platform: the file is
// chosen with Select A File To Split, the size with its radio button (or Customize and a list
// entry), and Create Split Files is clicked. Reports the time of the click's handler and the
// longest interval, from the click to the completion message, between two calls that let window
// events run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

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
#include "settings/Settings.h"
#include "ui/MainWindow.h"

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

// choice is a preset's object name (preset95MegButton) or an entry of the customize list (5120k).
void chooseSize(QWidget& window, const QString& choice) {
    if (auto* preset = window.findChild<QRadioButton*>(choice)) {
        click(preset);
        return;
    }
    auto* list = control<QListWidget>(window, "customizeList");
    const auto entries = list->findItems(choice, Qt::MatchExactly);
    if (entries.isEmpty())
        fail(QStringLiteral("%1 is neither a preset nor a customize-list entry").arg(choice));
    click(control<QRadioButton>(window, "customizeButton"));
    list->scrollToItem(entries.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(entries.first()).center());
}

// What the scheduler did to this thread: how often it took the processor away, how often the
// thread slept waiting for something (a write held back while the kernel writes pages out), and
// how long it waited, ready to run, for a processor. A long interval on a busy machine can be
// such a wait rather than the window's own work.
struct ThreadWaits {
    long preemptions = 0;
    long sleeps = 0;
    double runQueueMilliseconds = 0;
};

ThreadWaits threadWaits() {
    ThreadWaits waits;
    rusage usage{};
    if (getrusage(RUSAGE_THREAD, &usage) == 0) {
        waits.preemptions = usage.ru_nivcsw;
        waits.sleeps = usage.ru_nvcsw;
    }
    // Fields: time on the processor, time waiting in the run queue (nanoseconds), timeslices.
    std::ifstream schedstat("/proc/thread-self/schedstat");
    long long onProcessor = 0;
    long long waiting = 0;
    if (schedstat >> onProcessor >> waiting)
        waits.runQueueMilliseconds = static_cast<double>(waiting) / 1e6;
    return waits;
}

ThreadWaits operator-(const ThreadWaits& end, const ThreadWaits& start) {
    return {end.preemptions - start.preemptions, end.sleeps - start.sleeps,
            end.runQueueMilliseconds - start.runQueueMilliseconds};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: bench_window_split SOURCE SIZE\n"
                     "  SIZE: a preset's object name (preset95MegButton) or a customize-list entry "
                     "(5120k)\n");
        return 2;
    }
    // The window keeps its settings in a folder of its own, never in the user's.
    QTemporaryDir configFolder;
    if (!configFolder.isValid())
        fail(QStringLiteral("cannot create a temporary configuration folder"));
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanto"));
    if (!MessageGaps::dispatcherAnnouncesCalls())
        fail(QStringLiteral("the event dispatcher does not announce each processEvents() call"));

    BenchPrompts prompts(QFile::decodeName(argv[1]));
    MainWindow window(settings::Settings(QFile::encodeName(configFolder.path()).toStdString()));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        fail(QStringLiteral("the window was never shown"));
    click(control<QPushButton>(window, "selectButton"));
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
    const ThreadWaits waitsStarted = threadWaits();
    gaps.start();
    click(control<QPushButton>(window, "createButton"));
    const std::clock_t cpuReturned = std::clock();
    const ThreadWaits waits = threadWaits() - waitsStarted;
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

    std::printf("size_label=%s\n", qPrintable(control<QLabel>(window, "splitSizeLabel")->text()));
    std::printf("pieces=%s\n", qPrintable(pieces));
    std::printf("split_seconds=%.3f\n", elapsed.count());
    std::printf("split_cpu_seconds=%.3f\n",
                static_cast<double>(cpuReturned - cpuStarted) / CLOCKS_PER_SEC);
    std::printf("message_calls=%lld\n", static_cast<long long>(gaps.calls()));
    std::printf("longest_gap_ms=%.2f\n", gaps.longestMilliseconds());
    std::printf("gaps_over_20_ms=%lld\n", static_cast<long long>(gaps.longIntervals()));
    std::printf("preemptions=%ld\n", waits.preemptions);
    std::printf("sleeps=%ld\n", waits.sleeps);
    std::printf("run_queue_wait_ms=%.1f\n", waits.runQueueMilliseconds);
    // The split counter is written after the completion message, outside the measured gaps.
    std::printf("after_completion_ms=%.2f\n", afterCompletion.count());
    return 0;
}
