// B2 and M: the split driven through the real main window on Qt's offscreen platform: the file
// is chosen with Select A File To Split, the size with its radio button (or Customize and a list
// entry), and Create Split Files is clicked; the event loop then runs until the completion
// message. Reports the time from the click to the message, and the longest stretch in which the
// window thread did not run its event loop. Given the backing folder of a slow medium (the
// pieces' folder mounted by bench_slow_medium), it also samples the percentage the label shows
// against the bytes the medium holds, and what the medium still lacked at the message.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

// What the medium holds: the bytes stored in the files of its backing folder.
std::int64_t bytesOnMedium(const std::string& backing) {
    std::int64_t bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(backing)) {
        struct stat status {};
        if (::stat(entry.path().c_str(), &status) == 0)
            bytes += std::min<std::int64_t>(status.st_size, status.st_blocks * 512);
    }
    return bytes;
}

// The figure of "42% Complete"; -1 for any other text.
int shownPercent(const QLabel& label) {
    const QString text = label.text();
    if (!text.endsWith(QStringLiteral("% Complete")))
        return -1;
    return text.left(text.indexOf(QLatin1Char('%'))).toInt();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr,
                     "usage: bench_window_split SOURCE SIZE [MEDIUM_FOLDER MEDIUM_BACKING_FOLDER]\n"
                     "  SIZE: a preset's object name (preset95MegButton) or a customize-list entry "
                     "(5120k)\n"
                     "  MEDIUM_FOLDER: the slow medium's folder, made the output folder\n");
        return 2;
    }
    // The window keeps its settings in a folder of its own, never in the user's.
    QTemporaryDir configFolder;
    if (!configFolder.isValid())
        fail(QStringLiteral("cannot create a temporary configuration folder"));
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::int64_t sourceBytes = static_cast<std::int64_t>(std::filesystem::file_size(argv[1]));
    const std::string backing = argc == 5 ? argv[4] : "";

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanto"));
    BenchPrompts prompts(QFile::decodeName(argv[1]));
    const settings::Settings settings(QFile::encodeName(configFolder.path()).toStdString() + "/");
    if (argc == 5) {
        settings.createFolder();
        settings.createSettingsFileIfMissing();
        settings.writeOutputFolder(argv[3]);
    }
    MainWindow window(settings);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        fail(QStringLiteral("the window was never shown"));
    click(control<QPushButton>(window, "selectButton"));
    chooseSize(window, QString::fromLocal8Bit(argv[2]));
    QApplication::processEvents();

    // The label against the medium, sampled as a screen reader would read it.
    QLabel* label = control<QLabel>(window, "progressLabel");
    double mostAhead = 0;
    QTimer sampler;
    if (!backing.empty()) {
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            const int shown = shownPercent(*label);
            const double stored = 100.0 * static_cast<double>(bytesOnMedium(backing)) /
                                  static_cast<double>(sourceBytes);
            if (shown >= 0 && shown - stored > mostAhead)
                mostAhead = shown - stored;
        });
        sampler.start(10);
    }

    MessageGaps gaps;
    using Clock = std::chrono::steady_clock;
    Clock::time_point ended;
    std::clock_t cpuEnded = 0;
    std::int64_t unwritten = 0;
    prompts.onEnd = [&] {
        gaps.stop();
        ended = Clock::now();
        cpuEnded = std::clock();
        // The script's bytes are on the medium too, beyond the source's.
        if (!backing.empty())
            unwritten = std::max<std::int64_t>(0, sourceBytes - bytesOnMedium(backing));
        QCoreApplication::exit(0);
    };
    const auto started = Clock::now();
    const std::clock_t cpuStarted = std::clock();
    const ThreadWaits waitsStarted = threadWaits();
    gaps.start();
    click(control<QPushButton>(window, "createButton"));
    QApplication::exec();
    const ThreadWaits waits = threadWaits() - waitsStarted;
    const std::chrono::duration<double> elapsed = ended - started;

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
                static_cast<double>(cpuEnded - cpuStarted) / CLOCKS_PER_SEC);
    std::printf("wake_ups=%lld\n", static_cast<long long>(gaps.wakeUps()));
    std::printf("longest_gap_ms=%.2f\n", gaps.longestMilliseconds());
    std::printf("gaps_over_16_ms=%lld\n", static_cast<long long>(gaps.longStretches()));
    std::printf("preemptions=%ld\n", waits.preemptions);
    std::printf("sleeps=%ld\n", waits.sleeps);
    std::printf("run_queue_wait_ms=%.1f\n", waits.runQueueMilliseconds);
    if (!backing.empty()) {
        std::printf("percent_ahead_of_medium=%.2f\n", mostAhead);
        std::printf("unwritten_at_completion=%lld\n", static_cast<long long>(unwritten));
    }
    return 0;
}
