// The Sparv editor.
//
// sparv [--wkdir DIR] [FILE.lua | FILE.sparvsnap]: the editor, opening FILE.lua (or a
// review snapshot, read-only) as its first document (as a file manager's "Open with" runs
// it). A few options let scripts and CI run the editor
// unattended on an effect: open a file or type, select a property, play, save a picture of
// the main window and quit, and report how long the first preview frame took to reach the
// screen.

#include "shell/RenderWindow.h"
#include "shell/SparvApp.h"
#include "shell/SparvAttr.h"
#include "shell/SparvDoc.h"
#include "shell/SparvFrame.h"
#include "shell/SparvView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <string>
#include <unistd.h>

namespace {

// Milliseconds since the process started, from the kernel's record of its start (10 ms
// resolution); -1 when unknown.
double MillisecondsSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1.0;
    const QByteArray text = stat.readAll();
    // Field 22, counted after the command name, which may itself hold spaces.
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return -1.0;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    constexpr int kStartTimeField = 22 - 3; // fields 1 and 2 come before the ')'
    if (fields.size() <= kStartTimeField)
        return -1.0;
    const double startTicks = fields[kStartTimeField].toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    SparvApp::PrepareSurfaceFormat();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sparv"));
    QApplication::setOrganizationName(QStringLiteral("Sparv"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Sparv, the FX editor."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    const QCommandLineOption workingDirectory(
        QStringLiteral("wkdir"), QStringLiteral("Working directory (holds Data/art/fx/)."),
        QStringLiteral("directory"));
    const QCommandLineOption open(
        QStringLiteral("open"),
        QStringLiteral("Open an effect at start-up: an FX file, or the name of a "
                       "type below Data/art/fx/."),
        QStringLiteral("file-or-name"));
    const QCommandLineOption select(
        QStringLiteral("select"),
        QStringLiteral("Select a property in the type tree at start-up (its label, e.g. "
                       "\"Duration\" or \"Fx1 (flash)/Duration\")."),
        QStringLiteral("label"));
    const QCommandLineOption play(QStringLiteral("play"), QStringLiteral("Start playing at once."));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Play, and save a picture of the main window (PNG) before quitting."),
        QStringLiteral("file"));
    const QCommandLineOption quitAfter(QStringLiteral("quit-after"),
                                       QStringLiteral("Quit after this many seconds."),
                                       QStringLiteral("seconds"));
    const QCommandLineOption reportFirstFrame(
        QStringLiteral("report-first-frame"),
        QStringLiteral("Print when the first preview frame is on screen."));
    const QCommandLineOption reportFrameRate(
        QStringLiteral("report-frame-rate"),
        QStringLiteral("Print the preview's frames per second once a second."));
    const QCommandLineOption speed(
        QStringLiteral("speed"),
        QStringLiteral("Playback speed: 1/8, 1/4, 1/2, 1, 2 or 4 (View > Playback Speed)."),
        QStringLiteral("speed"));
    const QCommandLineOption step(
        QStringLiteral("step"),
        QStringLiteral("Step the effect this many frames of 1/30 s and hold it there."),
        QStringLiteral("frames"));
    const QCommandLineOption compare(
        QStringLiteral("compare"),
        QStringLiteral("Show the effect beside itself before the last edit (View > Compare "
                       "with Before)."));
    parser.addOptions({workingDirectory, open, select, play, screenshot, quitAfter,
                       reportFirstFrame, reportFrameRate, speed, step, compare});
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("An FX file or a review snapshot (.sparvsnap) to open (as --open does)."),
        QStringLiteral("[file]"));
    parser.process(application);

    // A file named on the command line is relative to where the program was started, not to
    // the working directory of "wkdir"; a bare name is a type below Data/art/fx/.
    QString toOpen = parser.isSet(open) ? parser.value(open)
                     : parser.positionalArguments().isEmpty()
                         ? QString()
                         : parser.positionalArguments().front();
    if (!toOpen.isEmpty() && (QFileInfo::exists(toOpen) || toOpen.contains(QLatin1Char('/')) ||
                              toOpen.endsWith(QStringLiteral(".lua"), Qt::CaseInsensitive) ||
                              toOpen.endsWith(QStringLiteral(".sparvsnap"), Qt::CaseInsensitive)))
        toOpen = QFileInfo(toOpen).absoluteFilePath();

    SparvApp app;
    if (!app.Startup(QApplication::arguments()))
        return 1;
    SparvView* view = app.ActiveView();

    if (parser.isSet(reportFirstFrame)) {
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection =
            QObject::connect(view->Render(), &RenderWindow::FramePresented, [=, &sinceMain] {
                std::printf("first preview frame presented: %.0f ms after process start, %lld ms "
                            "after main\n",
                            MillisecondsSinceProcessStart(),
                            static_cast<long long>(sinceMain.elapsed()));
                std::fflush(stdout);
                QObject::disconnect(*connection);
            });
    }
    if (!toOpen.isEmpty())
        app.OpenFromCommandLine(toOpen);
    QTimer frameRateReport;
    if (parser.isSet(reportFrameRate)) {
        QObject::connect(&frameRateReport, &QTimer::timeout, [view] {
            std::printf("%.1f frames per second\n", view->FrameRate());
            std::fflush(stdout);
        });
        frameRateReport.start(1000);
    }
    if (parser.isSet(select) && !view->TypeTree()->SelectLabelPath(parser.value(select)))
        std::fprintf(stderr, "sparv: no property %s in the tree\n",
                     parser.value(select).toLocal8Bit().constData());
    if (parser.isSet(speed)) {
        static const QStringList kSpeeds = {QStringLiteral("1/8"), QStringLiteral("1/4"),
                                            QStringLiteral("1/2"), QStringLiteral("1"),
                                            QStringLiteral("2"),   QStringLiteral("4")};
        const qsizetype index = kSpeeds.indexOf(parser.value(speed));
        if (index < 0)
            std::fprintf(stderr, "sparv: --speed takes 1/8, 1/4, 1/2, 1, 2 or 4\n");
        else
            app.Frame()->RouteCommand(SparvCommand::SpeedFirst + static_cast<int>(index));
    }
    if (parser.isSet(compare))
        app.Frame()->RouteCommand(SparvCommand::CompareWithBefore);
    const int steps = parser.value(step).toInt();
    for (int i = 0; i < steps; ++i)
        app.Frame()->RouteCommand(SparvCommand::StepForward);
    // A snapshot, or an effect held at a step, shows its frame: no need to play.
    const bool held = steps > 0 || app.Document()->IsReadOnly();
    if (parser.isSet(play) || (parser.isSet(screenshot) && !parser.isSet(select) && !held))
        app.Frame()->RouteCommand(SparvCommand::PlayButton);

    if (parser.isSet(quitAfter) || parser.isSet(screenshot)) {
        bool valid = false;
        const double seconds = parser.value(quitAfter).toDouble(&valid);
        const int milliseconds = valid && seconds > 0.0 ? static_cast<int>(seconds * 1000.0) : 2000;
        const QString picture = parser.value(screenshot);
        QTimer::singleShot(milliseconds, &app, [&app, picture] {
            // What the screen shows: QWidget::grab would compose the preview itself, with
            // the framebuffer's alpha.
            QScreen* screen = app.Frame()->screen();
            if (!picture.isEmpty() &&
                (!screen || !screen->grabWindow(app.Frame()->winId()).save(picture, "PNG")))
                std::fprintf(stderr, "sparv: cannot write %s\n", picture.toLocal8Bit().constData());
            QApplication::quit();
        });
    }
    return application.exec();
}
