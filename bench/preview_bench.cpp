// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// How long the preview takes to repaint a zoom and to follow one drag step,
// against a plain smooth drawImage of the same device size plus the copy of
// its visible part to the window. Each timed step alternates with a plain
// one, so both see the same load. Run it with QT_QPA_PLATFORM=offscreen (set
// here when nothing else is chosen).
//
// The device pixel ratio is fixed when the application starts, so each ratio
// (1, 1.25, 1.5 and 2 unless named on the command line after the number of
// runs) is measured in a process of its own with QT_SCALE_FACTOR set.

#include "Form2.h"
#include "Main.h"
#include "PictureBox.h"
#include "Platform.h"
#include "WordAutomation.h"

#include <QApplication>
#include <QBackingStore>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
class SilentBoxes : public MessageBoxes {
public:
    int show(const QString& text, const QString&, int) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Ok;
    }
};
class NoDialog : public SaveDialog {
public:
    QString showSave(const QString&, const QString&, const QString&) override { return {}; }
};
class NoPrinting : public PrintDialog, public PrintQueue {
public:
    PrintChoice showPrint(const QString&) override { return {}; }
    void checkAnswers() override {}
    int submit(const PrintJob&) override { return 0; }
};
class NoSettings : public SettingsStore {
public:
    QString read(const QString&, const QString&, const QString&, const QString& value) override { return value; }
    void write(const QString&, const QString&, const QString&, const QString&) override {}
};
class NoProcesses : public ProcessStarter {
public:
    void startDetached(const QString&, const QStringList&) override {}
};
class NoClipboard : public Clipboard {
public:
    void setImage(const QImage&) override {}
    void setCard(const QImage&, const QByteArray&) override {}
    QImage image() override { return {}; }
};
class NoMail : public MailComposer {
public:
    void compose(const QString&, const QString&) override {}
};
class NoWord : public WordFactory {
public:
    std::unique_ptr<WordApplication> CreateObject(const QString&) override { return nullptr; }
};
class NoEnd : public ProgramEnd {
public:
    void end() override {}
    bool ended() const override { return false; }
};

// The card as the snapshot delivers it: 1224 x 1584 pixels at 288 dpi.
QImage CardPicture()
{
    QImage card(1224, 1584, QImage::Format_RGB32);
    QPainter painter(&card);
    painter.fillRect(card.rect(), Qt::white);
    for (int y = 0; y < card.height(); y += 24)
        painter.fillRect(QRect(60 + (y % 96), y, 1000, 12), QColor(30 + y % 200, 60, 120));
    painter.end();
    card.setDotsPerMeterX(qRound(288 / 0.0254));
    card.setDotsPerMeterY(qRound(288 / 0.0254));
    return card;
}

double TimeMs(const std::function<void()>& once)
{
    QElapsedTimer timer;
    timer.start();
    once();
    return timer.nsecsElapsed() / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Delivers the repaint the window has pending, as the event loop would next.
void PaintPending()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

// Counts the paint events of the watched widgets and the pixels they expose.
class PaintCounter : public QObject {
public:
    int paints = 0;
    qint64 pixels = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const QRect rect = static_cast<QPaintEvent*>(event)->rect();
            ++paints;
            pixels += qint64(rect.width()) * rect.height();
        }
        return false;
    }
    void reset() { paints = 0, pixels = 0; }
};

void SendMove(QWidget* canvas, QPoint local, Qt::MouseButtons held)
{
    QMouseEvent move(QEvent::MouseMove, local, canvas->mapToGlobal(local), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
}

// Runs this program again at each ratio and waits for it.
int RunAtEachRatio(int argc, char** argv)
{
    std::vector<std::string> ratios;
    for (int i = 2; i < argc; ++i)
        ratios.emplace_back(argv[i]);
    if (ratios.empty())
        ratios = {"1", "1.25", "1.5", "2"};
    const std::string runs = argc > 1 ? argv[1] : "41";
    int status = 0;
    for (const std::string& ratio : ratios) {
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            setenv("QT_SCALE_FACTOR", ratio.c_str(), 1);
            setenv("PELORIN_BENCH_RATIO", ratio.c_str(), 1);
            execl("/proc/self/exe", argv[0], runs.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int childStatus = 0;
        if (child < 0 || waitpid(child, &childStatus, 0) < 0 || !WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0)
            status = 1;
    }
    return status;
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("PELORIN_BENCH_RATIO"))
        return RunAtEachRatio(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 41;

    SilentBoxes boxes;
    NoDialog dialog;
    NoPrinting printing;
    NoMail mail;
    NoSettings settings;
    NoProcesses processes;
    NoClipboard clipboard;
    NoWord word;
    NoEnd end;
    Platform platform{boxes, dialog, printing, printing, mail, settings, processes, clipboard, word, end, [](double) {},
                      [] { return 0.5; }, [] { return 0.0; }, QString()};
    QWidget mainWindow;
    Form2 form(platform, &mainWindow);
    form.Form_Load();
    form.Picture1->setPicture(CardPicture());
    form.show();
    QCoreApplication::processEvents();
    PictureBox* canvas = form.Picture1;
    PaintCounter counter;
    for (QWidget* widget : form.findChildren<QWidget*>())
        widget->installEventFilter(&counter);
    form.installEventFilter(&counter);

    // The largest zoom of this card that is still painted.
    form.SetZoom(1.5f);
    PaintPending();
    const QSize canvasSize = canvas->size();
    const qreal ratio = form.devicePixelRatio();
    const QSize deviceCanvas = canvas->surface().size();
    // What of the canvas the viewport shows, in canvas and in window pixels.
    const QRect visible = canvas->visibleRegion().boundingRect();
    const QPoint visibleInWindow = canvas->mapTo(&form, visible.topLeft());
    const QRect deviceVisible(visible.topLeft() * ratio, visible.size() * ratio);
    const QPoint deviceVisibleInWindow = visibleInWindow * ratio;

    // The plain reference: the same smooth scaling of the same source onto a
    // canvas-sized image, then the visible part copied to a window-sized
    // image in the window's backing-store format, as the canvas's paint does.
    const QImage card = CardPicture();
    QImage::Format screenFormat = QImage::Format_RGB32;
    if (QPaintDevice* device = form.backingStore() ? form.backingStore()->paintDevice() : nullptr;
        device && device->devType() == QInternal::Image)
        screenFormat = static_cast<QImage*>(device)->format();
    QImage plainSurface(deviceCanvas, QImage::Format_RGB32);
    QImage plainScreen(form.size() * ratio, screenFormat);
    plainScreen.fill(Qt::white);
    auto plain = [&] {
        QPainter painter(&plainSurface);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(plainSurface.rect(), card);
        painter.end();
        QPainter screen(&plainScreen);
        screen.drawImage(deviceVisibleInWindow, plainSurface, deviceVisible);
    };

    // A zoom: Zoom In from 1.25 to 1.5 (the step to 1.25 untimed), i.e. the
    // stretch-copy onto the canvas's surface with its resizes and scrollbar
    // set-up, then the repaint that leaves pending.
    std::vector<double> zoomTimes;
    std::vector<double> zoomPlainTimes;
    int zoomPaints = 0;
    qint64 zoomPixels = 0;
    for (int i = 0; i < runs; ++i) {
        form.SetZoom(1.25f);
        PaintPending();
        counter.reset();
        zoomTimes.push_back(TimeMs([&] {
            form.SetZoom(1.5f);
            PaintPending();
        }));
        zoomPaints += counter.paints;
        zoomPixels += counter.pixels;
        zoomPlainTimes.push_back(TimeMs(plain));
    }

    // A drag step: one mouse move that moves the canvas by 20 pixels (back
    // and forth), then the repaint that leaves pending.
    const QPoint grab(200, 200);
    QMouseEvent press(QEvent::MouseButtonPress, grab, canvas->mapToGlobal(grab), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    std::vector<double> dragTimes;
    std::vector<double> dragMoveTimes;
    std::vector<double> dragPlainTimes;
    int dragPaints = 0;
    qint64 dragPixels = 0;
    int moved = 0;
    for (int i = 0; i < runs; ++i) {
        const QPoint offset = i % 2 ? QPoint(20, 20) : QPoint(-20, -20);
        const QPoint before = canvas->pos();
        counter.reset();
        double moveMs = 0;
        dragTimes.push_back(TimeMs([&] {
            moveMs = TimeMs([&] { SendMove(canvas, grab + offset, Qt::LeftButton); });
            PaintPending();
        }));
        dragMoveTimes.push_back(moveMs);
        moved += canvas->pos() != before;
        dragPaints += counter.paints;
        dragPixels += counter.pixels;
        dragPlainTimes.push_back(TimeMs(plain));
    }

    // The scrollbars' own drawing, which a zoom repaint includes (their range
    // changes) and which the window style makes dearer at higher ratios.
    std::vector<double> scrollbarTimes;
    for (int i = 0; i < runs; ++i)
        scrollbarTimes.push_back(TimeMs([&] {
            form.HScroll1->repaint();
            form.VScroll1->repaint();
        }));

    const double zoomMs = Median(zoomTimes);
    const double dragMs = Median(dragTimes);
    const double zoomPlainMs = Median(zoomPlainTimes);
    const double dragPlainMs = Median(dragPlainTimes);
    std::printf("device pixel ratio %g: preview of a 1224 x 1584 card at 288 dpi, canvas %d x %d px "
                "(%d x %d device px) at zoom 1.5 (%d x %d px visible), median of %d runs\n",
                ratio, canvasSize.width(), canvasSize.height(), deviceCanvas.width(), deviceCanvas.height(),
                visible.width(), visible.height(), runs);
    std::printf("  zoom repaint (1.25 -> 1.5: stretch-copy, scrollbars, pending paint)  %8.3f ms  "
                "(%.1f paint events, %.0f px a step)\n",
                zoomMs, double(zoomPaints) / runs, double(zoomPixels) / runs);
    std::printf("    of which the scrollbars' own drawing, alone                          %8.3f ms\n",
                Median(scrollbarTimes));
    std::printf("  plain smooth drawImage 1224x1584 -> %dx%d + visible copy, alongside %8.3f ms\n",
                deviceCanvas.width(), deviceCanvas.height(), zoomPlainMs);
    std::printf("  drag step (one mouse move, pending paint)                           %8.3f ms  "
                "(canvas moved %d of %d times, %.1f paint events, %.0f px a step)\n",
                dragMs, moved, runs, double(dragPaints) / runs, double(dragPixels) / runs);
    std::printf("    of which the move itself (handler, canvas moved, window scrolled)    %8.3f ms\n",
                Median(dragMoveTimes));
    std::printf("  plain smooth drawImage + visible copy, alongside                    %8.3f ms\n", dragPlainMs);
    std::printf("  zoom repaint / plain                                                %8.2f\n", zoomMs / zoomPlainMs);
    std::printf("  drag step / plain                                                   %8.2f\n", dragMs / dragPlainMs);
    return 0;
}
