// How long the preview takes to repaint a zoom and to follow one drag step,
// against a plain scaled drawImage of the same size. Run it with
// QT_QPA_PLATFORM=offscreen (set here when nothing else is chosen).

#include "Form2.h"
#include "Main.h"
#include "PictureBox.h"
#include "Platform.h"
#include "WordAutomation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>
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
    QImage image() override { return {}; }
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

double MedianMs(int runs, const std::function<void()>& once)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        once();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void SendMove(QWidget* canvas, QPoint local, Qt::MouseButtons held)
{
    QMouseEvent move(QEvent::MouseMove, local, canvas->mapToGlobal(local), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 41;

    SilentBoxes boxes;
    NoDialog dialog;
    NoSettings settings;
    NoProcesses processes;
    NoClipboard clipboard;
    NoWord word;
    NoEnd end;
    Platform platform{boxes, dialog, settings, processes, clipboard, word, end, [](double) {}, [] { return 0.5; },
                      [] { return 0.0; }, QString()};
    QWidget mainWindow;
    Form2 form(platform, &mainWindow);
    form.Form_Load();
    form.Picture1->setPicture(CardPicture());
    form.show();
    QCoreApplication::processEvents();
    // The largest zoom of this card that is still painted.
    form.SetZoom(1.5f);
    const QSize canvasSize = form.Picture1->size();

    const double zoomMs = MedianMs(runs, [&] {
        form.SetZoom(1.5f);
        form.Picture1->repaint();
    });

    PictureBox* canvas = form.Picture1;
    const QPoint grab(200, 200);
    QMouseEvent press(QEvent::MouseButtonPress, grab, canvas->mapToGlobal(grab), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    int step = 0;
    const double dragMs = MedianMs(runs, [&] {
        // Back and forth by 20 pixels, so every step moves the canvas.
        const QPoint offset = (step++ % 2) ? QPoint(20, 20) : QPoint(-20, -20);
        SendMove(canvas, grab + offset, Qt::LeftButton);
        form.Picture2->repaint();
    });

    const QImage card = CardPicture();
    QImage target(canvasSize, QImage::Format_RGB32);
    const double plainMs = MedianMs(runs, [&] {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target.rect(), card);
    });

    std::printf("preview of a 1224 x 1584 card at 288 dpi, canvas %d x %d px at zoom 1.5, median of %d runs\n",
                canvasSize.width(), canvasSize.height(), runs);
    std::printf("  zoom repaint (stretch-copy and paint)  %8.3f ms\n", zoomMs);
    std::printf("  drag step (one mouse move, repaint)   %8.3f ms  (canvas now at %.0f, %.0f twips)\n", dragMs,
                double(canvas->Left()), double(canvas->Top()));
    std::printf("  plain QPainter::drawImage, same size  %8.3f ms\n", plainMs);
    std::printf("  zoom repaint / plain drawImage        %8.2f\n", zoomMs / plainMs);
    std::printf("  drag step / plain drawImage           %8.2f\n", dragMs / plainMs);
    return 0;
}
